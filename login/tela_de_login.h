#pragma once

#include <string>

namespace olvendra::login {

// What the login and the work-area lookup need from the main window. Texts are Windows-1252.
class TelaDeLogin {
public:
    virtual ~TelaDeLogin() = default;

    virtual std::string textoNome() const = 0;
    virtual std::string textoSenha() const = 0;
    virtual void poeTextoNome(const std::string& texto) = 0;

    // A modal notice with one OK button; returns when the user has closed it.
    virtual void avisa(const std::string& texto) = 0;
    // Focus on the field with its whole text selected, so that typing replaces it.
    virtual void focaNome() = 0;
    virtual void focaSenha() = 0;

    // The user is known: hide the login panel, empty its fields, give the cancel-button role to
    // the exit button, unlock the record panel and focus the exit button.
    virtual void liberaRegistro() = 0;
    virtual void defineTitulo(const std::string& titulo) = 0;
    // Closes the main window, which ends the program.
    virtual void fecha() = 0;
};

} // namespace olvendra::login
