#include "config/falha_de_arquivo.h"

#include "config/erro_inesperado.h"
#include "config/texto.h"

#include <cerrno>
#include <string>

namespace olvendra {

namespace {

// The causes a clerk may meet, in Portuguese; any other is named by its number.
std::string CausaUtf8(int erro) {
    switch (erro) {
    case EACCES:
    case EPERM:
        return "permissão negada";
    case EISDIR:
        return "é uma pasta, não um arquivo";
    case ENOENT:
        return "arquivo não encontrado";
    case EIO:
        return "erro de leitura no disco";
    case ENOMEM:
        return "memória insuficiente";
    case EMFILE:
    case ENFILE:
        return "arquivos abertos demais";
    default:
        return "erro " + std::to_string(erro) + " do sistema";
    }
}

} // namespace

void FalhaDeArquivo(const char* acaoUtf8, const std::filesystem::path& arquivo, int erro) {
    throw EInOutError(Utf8ParaWin1252(std::string("Não foi possível ") + acaoUtf8 + " o arquivo " +
                                      arquivo.string() + ": " + CausaUtf8(erro)));
}

} // namespace olvendra
