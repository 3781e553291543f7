#include "registry/pesquisa.h"

#include "config/erro_inesperado.h"
#include "config/texto.h"
#include "registry/formata_nome.h"

#include <exception>

namespace olvendra::registry {

namespace {

constexpr std::size_t LarguraSalva = 40;

} // namespace

Pesquisa::Pesquisa(data::RecordSet& medicos, TelaDePesquisa& tela, const std::string& camposMedicos)
    : medicos_(medicos), tela_(tela), campos_(camposMedicos) {}

void Pesquisa::BotPesqMedClick() {
    tela_.DesabilitaBotoesCampos();
    tela_.mostraPainelDePesquisa();
    const bool temRegistro = medicos_.active() && !medicos_.isEmpty();
    NomeSalvo = temRegistro ? CortaEm(medicos_.fieldText("NOME"), LarguraSalva) : std::string();
    CRMSalvo = temRegistro ? CortaEm(medicos_.fieldText("CRM"), LarguraSalva) : std::string();
}

bool Pesquisa::reabre(const Comando& comando) {
    // A record still being typed is dropped without validation, as the search replaces the list.
    medicos_.close();
    medicos_.setStatement(comando.sql, comando.parametros);
    try {
        medicos_.open();
    } catch (...) {
        TrataErroInesperado(std::current_exception());
        return false;
    }
    return true;
}

void Pesquisa::mostraResultado(const Comando& comando) {
    if (!reabre(comando)) {
        return;
    }
    tela_.escondePainelDePesquisa();
    tela_.mostraRelacao();
}

void Pesquisa::PesquisaPorNome(const std::string& nomeDigitado) {
    mostraResultado(ComandoPorNome(campos_, FormataNome(nomeDigitado)));
}

void Pesquisa::PesquisaPorCRM(const std::string& crmDigitado) {
    mostraResultado(ComandoPorCRM(campos_, crmDigitado));
}

void Pesquisa::BotLocalizaMedClick(const std::string& nomeDigitado,
                                   const std::string& crmDigitado) {
    if (!nomeDigitado.empty()) {
        PesquisaPorNome(nomeDigitado);
    } else if (!crmDigitado.empty()) {
        PesquisaPorCRM(crmDigitado);
    } else {
        tela_.HabilitaBotoesCampos();
        tela_.focaBotaoTabela();
        tela_.escondePainelDePesquisa();
    }
}

void Pesquisa::FechaPesquisa() {
    tela_.HabilitaBotoesCampos();
    tela_.escondePainelDePesquisa();
    tela_.focaBotaoPesquisar();
}

void Pesquisa::EscolheProfissional() {
    const bool temRegistro = medicos_.active() && !medicos_.isEmpty();
    const std::string nome = temRegistro ? medicos_.fieldText("NOME") : std::string();
    const std::string crm = temRegistro ? medicos_.fieldText("CRM") : std::string();
    if (!reabre(ComandoCompleto(campos_))) {
        return;
    }
    medicos_.findNearest({nome, crm});
    tela_.escondeRelacao();
    tela_.HabilitaBotoesCampos();
}

void Pesquisa::CancelaEscolha() {
    if (!reabre(ComandoCompleto(campos_, ","))) {
        return;
    }
    if (medicos_.findKey({NomeSalvo, CRMSalvo})) {
        tela_.escondeRelacao();
        tela_.HabilitaBotoesCampos();
    }
}

} // namespace olvendra::registry
