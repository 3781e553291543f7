#include "login/mensagens.h"

#include "config/texto.h"

namespace olvendra::login {

namespace {

// The fixed texts are written here in UTF-8 and stored as the suite's code page.
std::string W(std::string_view utf8) {
    return Utf8ParaWin1252(utf8);
}

std::string EntreAspas(std::string_view texto) {
    std::string resultado = "\"";
    resultado += texto;
    resultado += '"';
    return resultado;
}

} // namespace

std::string MensagemNomeNaoInformado() {
    return W("Não foi informado o Nome do Usuário.");
}

std::string MensagemNaoAutorizado(std::string_view nome) {
    return W("Usuário ") + std::string(nome) + W(" não autorizado");
}

std::string MensagemSenhaIncorreta() {
    return W("Senha incorreta. Tente novamente.");
}

// "usuáro" is the suite's own spelling of this notice.
std::string MensagemSemAreaDeTrabalho(std::string_view nome) {
    return W("Não foi identificada uma área de trabalho para o usuáro ") + std::string(nome);
}

std::string MensagemEstacaoNaoSelecionada(std::string_view nome) {
    const std::string quebra = "\r";
    std::string texto = W("Não foi possível selecionar uma área de trabalho para o usuário ") +
                        EntreAspas(nome) + ". ";
    texto += quebra + quebra + W("Causas prováveis: ") + quebra + quebra;
    texto += W("  1) Na tabela ") + EntreAspas("Estacoes.db") +
             W(" não foi incluída uma estação para o usuário ") + EntreAspas(nome) + ".";
    texto += quebra + W("     Obs: Criar também a área de trabalho física (pasta "
                        "C:\\Olvendra\\InterfacXX) para este usuário.");
    texto += quebra + W("  --> Favor contactar o suporte técnico da QIR SISTEMAS <--");
    return texto;
}

std::string TituloComEstacao(std::string_view usuario, std::string_view estacao) {
    return W("  CAD. DE MÉDICOS  -  Usuário: ") + EntreAspas(usuario) + W("   Estação: ") +
           std::string(estacao);
}

} // namespace olvendra::login
