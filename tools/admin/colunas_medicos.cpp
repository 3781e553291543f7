#include "colunas_medicos.h"

#include "config/texto.h"
#include "portuguese_order.h"
#include "sql_text.h"

namespace olvendra::admin {

int ColunaPeloNome(std::string_view nome) {
    const std::string procurado = TiraBrancos(nome);
    for (std::size_t i = 0; i < ColunasMedicos.size(); ++i) {
        const ColunaMedicos& coluna = ColunasMedicos[i];
        if (data::UpperAscii(procurado) == coluna.nome) {
            return static_cast<int>(i);
        }
        if (coluna.rotuloUtf8 &&
            data::ComparePortuguese(procurado, Utf8ParaWin1252(coluna.rotuloUtf8)) == 0) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

} // namespace olvendra::admin
