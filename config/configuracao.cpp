#include "config/configuracao.h"

#include "config/erro_inesperado.h"
#include "config/inteiro.h"
#include "config/linhas_do_arquivo.h"
#include "config/texto.h"

#include <algorithm>
#include <exception>
#include <stdexcept>

namespace olvendra {

namespace {

constexpr std::size_t ColunaDoValor = 50;
constexpr std::size_t LarguraDoValor = 60;
constexpr std::size_t BytesLidosPorLinha = ColunaDoValor - 1 + LarguraDoValor; // columns 1-109

constexpr std::size_t LarguraServidorCentral = 60;
constexpr std::size_t LarguraFormataNomeCliente = 30;

constexpr std::size_t IndiceServidorCentral = IndiceDaChave("IP DO SERVIDOR CENTRAL");
constexpr std::size_t IndiceCorFundo = IndiceDaChave("COR DE FUNDO DAS TELAS");
constexpr std::size_t IndiceFormataNomeCliente = IndiceDaChave("FORMATA NOME DO CLIENTE");
static_assert(IndiceServidorCentral < NumeroDeChaves && IndiceCorFundo < NumeroDeChaves &&
              IndiceFormataNomeCliente < NumeroDeChaves);

const std::array<std::string, NumeroDeChaves>& Rotulos() {
    static const auto rotulos = [] {
        std::array<std::string, NumeroDeChaves> r;
        for (std::size_t i = 0; i < NumeroDeChaves; ++i) {
            r[i] = RotuloDaChave(ChavesDeConfiguracao[i].texto);
        }
        return r;
    }();
    return rotulos;
}

// Throws EConvertError when the colour is not an integer; nothing of the line is stored then.
void AplicaLinha(std::string_view linha, TConfiguracao& configuracao) {
    const std::string_view rotulo = linha.substr(0, LarguraDoRotulo);
    const auto& rotulos = Rotulos();
    const auto encontrado = std::find(rotulos.begin(), rotulos.end(), rotulo);
    if (encontrado == rotulos.end()) {
        return;
    }
    const auto indice = static_cast<std::size_t>(encontrado - rotulos.begin());
    const std::string valor = linha.size() < ColunaDoValor
                                  ? std::string()
                                  : TiraBrancos(linha.substr(ColunaDoValor - 1, LarguraDoValor));

    if (indice == IndiceCorFundo) {
        configuracao.CorFundo = TextoParaInteiro(valor);
    } else if (indice == IndiceServidorCentral) {
        configuracao.ServidorCentral = CortaEm(valor, LarguraServidorCentral);
    } else if (indice == IndiceFormataNomeCliente) {
        configuracao.FormataNomeCliente = CortaEm(valor, LarguraFormataNomeCliente);
    }
    configuracao.Valores[indice] = CortaEm(valor, ChavesDeConfiguracao[indice].largura);
}

} // namespace

const std::string& TConfiguracao::Valor(std::string_view chave) const {
    const std::size_t indice = IndiceDaChave(chave);
    if (indice == NumeroDeChaves) {
        throw std::out_of_range("Chave de configuração desconhecida: " + std::string(chave));
    }
    return Valores[indice];
}

ResultadoLeitura LeConfiguracao(const std::filesystem::path& diretorioDoPrograma,
                                TConfiguracao& configuracao) {
    configuracao = TConfiguracao{};
    configuracao.CaminhoPrograma = diretorioDoPrograma.string();
    if (!configuracao.CaminhoPrograma.empty() && configuracao.CaminhoPrograma.back() != '/') {
        configuracao.CaminhoPrograma += '/';
    }
    try {
        auto linhas = LinhasDoArquivo::Abre(diretorioDoPrograma / NomeDoArquivoDeConfiguracao,
                                            BytesLidosPorLinha);
        if (!linhas) {
            return ResultadoLeitura::ArquivoAusente;
        }
        std::string linha;
        while (linhas->Proxima(linha)) {
            AplicaLinha(linha, configuracao);
        }
    } catch (const EConvertError&) {
        TrataErroInesperado(std::current_exception());
    } catch (const EInOutError&) {
        TrataErroInesperado(std::current_exception());
    }
    return ResultadoLeitura::Lida;
}

} // namespace olvendra
