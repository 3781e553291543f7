#pragma once

#include "config/chaves_configuracao.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace olvendra {

inline constexpr std::string_view NomeDoArquivoDeConfiguracao = "OLVENDRA.INI";

// Shown by the program when the configuration file is missing, before it ends with exit code 0.
// UTF-8, for the user interface (unlike the Windows-1252 texts of the configuration record).
inline constexpr std::string_view MensagemIniAusenteUtf8 =
    "Arquivo OLVENDRA.INI não encontrado. Execute o programa ConvBase.exe para criá-lo.";

// The suite configuration as read at start-up. Texts are Windows-1252 bytes.
struct TConfiguracao {
    std::string ServidorCentral;    // at most 60 characters
    std::int32_t CorFundo = 0;      // 0x00BBGGRR, or a system colour when the top byte is 0xFF
    std::string FormataNomeCliente; // at most 30 characters
    std::string CaminhoPrograma;    // the program's directory, with its trailing '/'

    // The text of every key, in the order of ChavesDeConfiguracao, cut to the key's width.
    std::array<std::string, NumeroDeChaves> Valores;

    // The text of a key; throws std::out_of_range for a text that is not one of the keys.
    const std::string& Valor(std::string_view chave) const;
};

enum class ResultadoLeitura { Lida, ArquivoAusente };

// Fills the record from OLVENDRA.INI in the given directory, starting from an empty record.
// A colour that is not an integer and a file that cannot be read are handed to
// TrataErroInesperado; reading stops there, the values read before are kept and the result is
// Lida. Only a missing file gives ArquivoAusente; the caller shows MensagemIniAusenteUtf8 and
// ends the program.
ResultadoLeitura LeConfiguracao(const std::filesystem::path& diretorioDoPrograma,
                                TConfiguracao& configuracao);

} // namespace olvendra
