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

// A private directory for the file, removed when the process ends.
class DiretorioTemporario {
public:
    DiretorioTemporario() {
        std::string modelo = (std::filesystem::temp_directory_path() / "fuzzcfgXXXXXX").string();
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

bool SemBrancosNasPontas(const std::string& texto) {
    return texto.empty() || (texto.front() != ' ' && texto.back() != ' ');
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
    if (configuracao.ServidorCentral.size() > 60 || configuracao.FormataNomeCliente.size() > 30) {
        Falha("valor maior que a sua largura");
    }
    if (!SemBrancosNasPontas(configuracao.ServidorCentral) ||
        !SemBrancosNasPontas(configuracao.FormataNomeCliente)) {
        Falha("valor com brancos nas pontas");
    }
    for (std::size_t i = 0; i < olvendra::NumeroDeChaves; ++i) {
        const std::string& valor = configuracao.Valores[i];
        if (valor.size() > olvendra::ChavesDeConfiguracao[i].largura) {
            Falha("valor maior que a largura da chave");
        }
        if (!SemBrancosNasPontas(valor) || valor.find('\n') != std::string::npos) {
            Falha("valor com brancos nas pontas ou com fim de linha");
        }
    }
    return 0;
}
