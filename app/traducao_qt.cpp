#include "app/traducao_qt.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace olvendra::app {

QLocale IdiomaDoQt(const QLocale& plataforma) {
    return plataforma.language() == QLocale::C ? QLocale(QLocale::Portuguese, QLocale::Brazil)
                                               : plataforma;
}

bool CarregaTraducaoDoQt(QCoreApplication& aplicacao) {
    auto* traducao = new QTranslator(&aplicacao);
    if (!traducao->load(IdiomaDoQt(), "qtbase", "_",
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete traducao;
        return false;
    }
    return QCoreApplication::installTranslator(traducao);
}

} // namespace olvendra::app
