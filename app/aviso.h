#pragma once

#include <QString>

class QWidget;

namespace olvendra::app {

// The title of the program's notices.
inline constexpr const char* TituloDaAplicacao = "Cadastro de Profissionais de Saúde";
// The caption of the registry's questions and reports.
inline constexpr const char* TituloDoCadastro = "CADASTRO DE PROFISSIONAL DA SAÚDE";

// The message boxes are modal. The suite separates lines with a single carriage return; the
// boxes are given line feeds so that they break them.

// A plain notice: the text with one OK button, no icon.
void Aviso(QWidget* pai, const QString& texto);

// A registry question: warning icon, Yes and No with No the default. True for Yes.
bool Pergunta(QWidget* pai, const QString& texto);

// A registry report of missing data: warning icon, one OK button.
void Relato(QWidget* pai, const QString& texto);

// The question before a record is deleted ("Delete record?", OK and Cancel). True for OK.
bool ConfirmaExclusao(QWidget* pai);

} // namespace olvendra::app
