#pragma once

#include <QString>

class QWidget;

namespace olvendra::app {

// The title of the program's notices.
inline constexpr const char* TituloDaAplicacao = "Cadastro de Profissionais de Saúde";

// A plain notice: modal, the text with one OK button, no icon. The suite separates lines with a
// single carriage return; the message box is given line feeds so that it breaks them.
void Aviso(QWidget* pai, const QString& texto);

} // namespace olvendra::app
