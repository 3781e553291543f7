#pragma once

#include <string>
#include <string_view>

// The notices and captions of the login and the work-area lookup, in Windows-1252 like the names
// they carry. A line break inside a notice is a single carriage return.
namespace olvendra::login {

std::string MensagemNomeNaoInformado();
std::string MensagemNaoAutorizado(std::string_view nome);
std::string MensagemSenhaIncorreta();
std::string MensagemSemAreaDeTrabalho(std::string_view nome);
std::string MensagemEstacaoNaoSelecionada(std::string_view nome);
std::string TituloComEstacao(std::string_view usuario, std::string_view estacao);

} // namespace olvendra::login
