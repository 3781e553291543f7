#pragma once

#include <string>

namespace olvendra::registry {

// What the record rules need from the main window. Texts are Windows-1252; a line break inside a
// text is a single carriage return.
class TelaDoCadastro {
public:
    virtual ~TelaDoCadastro() = default;

    // A modal question with the registry's caption and a warning icon, buttons Yes and No, No the
    // default. True when the user answered Yes.
    virtual bool pergunta(const std::string& texto) = 0;
    // The report of missing data: the registry's caption, a warning icon, one OK button.
    virtual void relata(const std::string& texto) = 0;
    // A plain notice: the application's title, no icon, one OK button.
    virtual void avisa(const std::string& texto) = 0;
    // Focus on the registration-number field when it can take it (visible and enabled).
    virtual void focaCRM() = 0;
    // Closes the main window, which ends the program.
    virtual void fecha() = 0;
};

} // namespace olvendra::registry
