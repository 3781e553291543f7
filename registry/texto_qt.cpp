#include "registry/texto_qt.h"

#include "config/texto.h"

#include <QList>

namespace olvendra {

QString ParaQt(std::string_view win1252) {
    return QString::fromStdString(Win1252ParaUtf8(win1252));
}

std::string DeQt(const QString& texto) {
    try {
        return Utf8ParaWin1252(texto.toStdString());
    } catch (const ErroDeCodificacao&) {
    }
    std::string resultado;
    for (const char32_t codigo : texto.toUcs4()) {
        try {
            resultado += Utf8ParaWin1252(QString::fromUcs4(&codigo, 1).toStdString());
        } catch (const ErroDeCodificacao&) {
            resultado += '?';
        }
    }
    return resultado;
}

} // namespace olvendra
