#pragma once

#include <exception>
#include <functional>
#include <stdexcept>
#include <string>

namespace olvendra {

// A text that is not a valid number ("'%s' is not a valid integer value").
class EConvertError : public std::runtime_error {
public:
    explicit EConvertError(const std::string& mensagem) : std::runtime_error(mensagem) {}
};

// A file that exists but cannot be opened or read.
class EInOutError : public std::runtime_error {
public:
    explicit EInOutError(const std::string& mensagem) : std::runtime_error(mensagem) {}
};

using TratadorDeErroInesperado = std::function<void(std::exception_ptr)>;

// Hands a failure that no code of the program handles to the process-wide handler. The call
// returns when the handler lets the program go on.
void TrataErroInesperado(std::exception_ptr erro);

// Installs the process-wide handler (the exception-reporting library installs its own). An empty
// function brings back the default one, which writes "Erro inesperado: <what()>" to stderr.
void DefineTratadorDeErroInesperado(TratadorDeErroInesperado tratador);

} // namespace olvendra
