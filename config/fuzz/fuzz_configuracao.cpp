// Feeds arbitrary bytes to the configuration reader as OLVENDRA.INI and checks that what it keeps
// obeys the record's rules whatever the file holds.

#include "config/configuracao.h"
#include "config/erro_inesperado.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

[[noreturn]] void Falha(const char* motivo) {
    std::fprintf(stderr, "fuzz_configuracao: %s\n", motivo);
    std::abort();
}

// A private directory for the file, removed when the process ends. It lives in memory when it
// can: writing the file to disk for every input makes fuzzing some twenty times slower.
class DiretorioTemporario {
public:
    DiretorioTemporario() {
        std::error_code erro;
        const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", erro)
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        std::string modelo = (base / "fuzzcfgXXXXXX").string();
        if (mkdtemp(modelo.data()) == nullptr) {
            Falha("mkdtemp falhou");
        }
        caminho_ = modelo;
    }
    ~DiretorioTemporario() {
        std::error_code ignorado;
        std::filesystem::remove_all(caminho_, ignorado);
    }
    const std::filesystem::path& Caminho() const { return caminho_; }

private:
    std::filesystem::path caminho_;
};

// Only a colour that is not an integer may be reported: the file itself is always readable.
void AceitaSoErroDeConversao(std::exception_ptr erro) {
    try {
        std::rethrow_exception(erro);
    } catch (const olvendra::EConvertError&) {
    } catch (...) {
        Falha("erro inesperado diferente de EConvertError");
    }
}

// The value is trimmed before it is cut to its width, so a cut value may end in a blank, but
// only when the cut took something away.
void ConfereValor(const std::string& valor, std::size_t largura) {
    if (valor.size() > largura) {
        Falha("valor maior que a sua largura");
    }
    if (!valor.empty() &&
        (valor.front() == ' ' || (valor.back() == ' ' && valor.size() < largura))) {
        Falha("valor com brancos nas pontas");
    }
    if (valor.find('\n') != std::string::npos) {
        Falha("valor com fim de linha");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const DiretorioTemporario diretorio;
    static const bool tratadorInstalado =
        (olvendra::DefineTratadorDeErroInesperado(AceitaSoErroDeConversao), true);
    (void)tratadorInstalado;

    {
        std::ofstream arquivo(diretorio.Caminho() / olvendra::NomeDoArquivoDeConfiguracao,
                              std::ios::binary | std::ios::trunc);
        arquivo.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        if (!arquivo) {
            Falha("não foi possível gravar o arquivo");
        }
    }

    olvendra::TConfiguracao configuracao;
    if (olvendra::LeConfiguracao(diretorio.Caminho(), configuracao) !=
        olvendra::ResultadoLeitura::Lida) {
        Falha("arquivo existente dado como ausente");
    }
    ConfereValor(configuracao.ServidorCentral, 60);
    ConfereValor(configuracao.FormataNomeCliente, 30);
    for (std::size_t i = 0; i < olvendra::NumeroDeChaves; ++i) {
        ConfereValor(configuracao.Valores[i], olvendra::ChavesDeConfiguracao[i].largura);
    }
    if (configuracao.Valor("IP DO SERVIDOR CENTRAL") !=
            configuracao.ServidorCentral.substr(0, 30) ||
        configuracao.Valor("FORMATA NOME DO CLIENTE") != configuracao.FormataNomeCliente) {
        Falha("valor do registro diferente do valor do módulo");
    }
    return 0;
}
