#include "registry/regras_do_cadastro.h"

#include "config/texto.h"
#include "data/errors.h"

#include <array>

namespace olvendra::registry {

namespace {

constexpr std::size_t LarguraAtendente = 20;

struct CampoObrigatorio {
    const char* coluna;
    const char* rotuloUtf8;
    const char* depois;
};

// In the order the validation examines them; only the first empty one is reported.
constexpr std::array<CampoObrigatorio, 5> Obrigatorios = {{
    {"CRM", "Nº Registro", ""},
    {"CONSELHOPROFISSIONAL", "Conselho", "\r"},
    {"UFCONSELHO", "UF", "\r"},
    {"ESPECIALIDADE", "Especialidade", "\r"},
    {"NOME", "Nome do Profissional", "\r"},
}};

std::string LinhaDoRelatorio(const CampoObrigatorio& campo) {
    return Utf8ParaWin1252(std::string("      - Campo \"") + campo.rotuloUtf8 +
                           "\" não foi preenchido.") +
           campo.depois;
}

std::string Pergunta1() {
    return Utf8ParaWin1252("Você não preencheu todos os campos obrigatórios.\r"
                           "Deseja continuar as alterações no cadastro?");
}

std::string Pergunta2(const std::string& crm) {
    return Utf8ParaWin1252("As alterações realizadas para o \"REGISTRO Nº ") + crm +
           Utf8ParaWin1252("\" não serão salvas. \rDeseja sair do cadastro?");
}

std::string FalhaAoSalvar() {
    return Utf8ParaWin1252("Falha ao tentar salvar os dados no banco de dados. Entre em contato "
                           "com suporte técnico por favor.");
}

std::string ChaveRepetida(const std::string& crm, const std::string& especialidade) {
    return Utf8ParaWin1252("Já existe um profissional com o Nº Registro \"") + crm +
           Utf8ParaWin1252("\" e a especialidade \"") + especialidade +
           Utf8ParaWin1252("\".\rAltere o Nº Registro ou a especialidade, ou cancele a "
                           "alteração.");
}

std::string RegistroBloqueado() {
    return Utf8ParaWin1252("Outra estação está alterando este profissional neste momento.\r"
                           "Aguarde um instante e grave novamente.");
}

std::string SairSemGravar() {
    return Utf8ParaWin1252("As alterações ainda não foram gravadas no banco de dados.\r"
                           "Deseja sair assim mesmo e perder as alterações?");
}

std::string PendentesNaoGravadas() {
    return Utf8ParaWin1252("Há alterações que ainda não foram gravadas no banco de dados.\r"
                           "Tente novamente em instantes: elas continuam guardadas.");
}

} // namespace

RegrasDoCadastro::RegrasDoCadastro(data::RecordSet& medicos, TelaDoCadastro& tela,
                                   const std::string& usuarioLogin)
    : medicos_(medicos), tela_(tela), usuarioLogin_(usuarioLogin) {
    auto& ganchos = medicos_.hooks();
    ganchos.afterInsert = [this] { MEDICOSAfterInsert(); };
    ganchos.beforePost = [this] { return MEDICOSBeforePost(); };
    ganchos.afterPost = [this] { MEDICOSAfterPost(); };
    ganchos.afterDelete = [this] { MEDICOSAfterDelete(); };
    ganchos.afterScroll = [this] { RegistroValido = false; };
}

RegrasDoCadastro::~RegrasDoCadastro() {
    auto& ganchos = medicos_.hooks();
    ganchos.afterInsert = nullptr;
    ganchos.beforePost = nullptr;
    ganchos.afterPost = nullptr;
    ganchos.afterDelete = nullptr;
    ganchos.afterScroll = nullptr;
}

void RegrasDoCadastro::MEDICOSAfterInsert() {
    tela_.focaCRM();
    medicos_.setFieldText("ATENDENTE", CortaEm(usuarioLogin_, LarguraAtendente));
}

bool RegrasDoCadastro::MEDICOSBeforePost() {
    RegistroValido = false;
    std::string relatorio;
    for (const CampoObrigatorio& campo : Obrigatorios) {
        if (medicos_.fieldText(campo.coluna).empty()) {
            relatorio = LinhaDoRelatorio(campo);
            break;
        }
    }
    RegistroValido = relatorio.empty();

    if (SaindoDoCadastro && !RegistroValido) {
        if (tela_.pergunta(Pergunta1())) {
            SaindoDoCadastro = false;
        } else {
            SaindoDoCadastro = tela_.pergunta(Pergunta2(medicos_.fieldText("CRM")));
        }
    }
    if (!RegistroValido && !SaindoDoCadastro) {
        tela_.relata("=> Verifique por favor: \r" + relatorio);
    }
    if (RegistroValido && chaveRepetida()) {
        // Like a failed validation: the record stays in editing, and the exit stays too.
        SaindoDoCadastro = false;
        tela_.relata(ChaveRepetida(medicos_.fieldText("CRM"), medicos_.fieldText("ESPECIALIDADE")));
        return false;
    }
    return RegistroValido;
}

bool RegrasDoCadastro::chaveRepetida() {
    try {
        return medicos_.updateKeyTaken();
    } catch (const data::DatabaseError&) {
        return false;
    }
}

bool RegrasDoCadastro::aplica() {
    if (medicos_.applyUpdates() == 0) {
        return true;
    }
    const data::Refusal motivo = medicos_.lastApplyRefusals().front();
    medicos_.reopenRefusedChange();
    SaindoDoCadastro = false;
    switch (motivo) {
    case data::Refusal::Duplicate:
        tela_.relata(ChaveRepetida(medicos_.fieldText("CRM"), medicos_.fieldText("ESPECIALIDADE")));
        break;
    case data::Refusal::LockTimeout:
        tela_.relata(RegistroBloqueado());
        break;
    default:
        tela_.avisa(FalhaAoSalvar());
        break;
    }
    return false;
}

bool RegrasDoCadastro::GravaPendentes() {
    if (!medicos_.active() || medicos_.pendingChangeCount() == 0) {
        return true;
    }
    try {
        if (!aplica()) {
            return false;
        }
        medicos_.refresh();
        return true;
    } catch (...) {
        tela_.avisa(PendentesNaoGravadas());
        return false;
    }
}

void RegrasDoCadastro::salva() {
    medicos_.applyUpdates();
    // Refused while a change that failed is still pending: the failure is then reported here.
    medicos_.refresh();
}

void RegrasDoCadastro::MEDICOSAfterPost() {
    try {
        if (aplica()) {
            medicos_.refresh();
        }
    } catch (...) {
        // The connection failed: the change stays pending in the set with the typed values,
        // shown to the user, and goes out with the next store once the server answers again.
        // The caller of the store carries on as after a successful one.
        tela_.avisa(FalhaAoSalvar());
    }
}

void RegrasDoCadastro::MEDICOSAfterDelete() {
    salva();
}

void RegrasDoCadastro::BotSairMedicosClick() {
    SaindoDoCadastro = true;
    try {
        medicos_.edit();
        medicos_.post();
    } catch (...) {
        // Leaving goes on: what could not be stored is decided by SaindoDoCadastro alone.
    }
    if (!SaindoDoCadastro) {
        return;
    }
    if (medicos_.active() && medicos_.pendingChangeCount() > 0) {
        // What an earlier store could not write gets one more attempt before it is given up.
        try {
            medicos_.applyUpdates();
        } catch (...) {
            // Still unreachable: the question below decides.
        }
    }
    if (medicos_.active() && medicos_.pendingChangeCount() > 0 &&
        !tela_.pergunta(SairSemGravar())) {
        SaindoDoCadastro = false;
        return;
    }
    try {
        medicos_.close();
    } catch (...) {
        // Closing only drops the local rows; the window closes all the same.
    }
    tela_.fecha();
}

} // namespace olvendra::registry
