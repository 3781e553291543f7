#pragma once

#include <QLocale>

class QCoreApplication;

namespace olvendra::app {

// The language of Qt's own texts (message-box buttons, the edit menu): the platform's, or
// Brazilian Portuguese when the platform names none (the C/POSIX locale).
QLocale IdiomaDoQt(const QLocale& plataforma = QLocale::system());

// Loads Qt's own translations (qtbase) for IdiomaDoQt() into the application; false when the
// system has none for that language (qt6-translations-l10n not installed).
bool CarregaTraducaoDoQt(QCoreApplication& aplicacao);

} // namespace olvendra::app
