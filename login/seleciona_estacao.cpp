#include "login/seleciona_estacao.h"

#include "config/texto.h"
#include "login/fecha_ao_sair.h"
#include "login/mensagens.h"

#include <ctime>

namespace olvendra::login {

namespace {

// "Ultima atividade: dd/mm/yy hh:nn:ss" at the current local time.
std::string UltimaAtividade() {
    const std::time_t agora = std::time(nullptr);
    std::tm local{};
    localtime_r(&agora, &local);
    char quando[32];
    std::strftime(quando, sizeof quando, "%d/%m/%y %H:%M:%S", &local);
    return std::string("Ultima atividade: ") + quando;
}

void MarcaEmUso(data::RecordSet& estacoes) {
    estacoes.edit();
    estacoes.setFieldText("EMUSO", "S");
    estacoes.setFieldText("ATCAIXA", UltimaAtividade());
    estacoes.post();
}

} // namespace

std::string SelecionaEstacao(TelaDeLogin& tela, data::RecordSet& estacoes, Sessao& sessao) {
    sessao.EstacaoAtual.clear();
    std::string caminho;
    tela.poeTextoNome(sessao.UsuarioAtual);

    estacoes.close();
    const std::string usuario = MaiusculasAZ(sessao.UsuarioAtual);
    estacoes.setStatement(ComandoEstacoesDoUsuario, {usuario});
    FechaAoSair fechaEstacoes(estacoes);
    estacoes.open();

    const bool achou =
        !estacoes.isEmpty() && MaiusculasAZ(estacoes.fieldText("USUARIO")) == usuario;
    if (!achou) {
        tela.avisa(MensagemEstacaoNaoSelecionada(sessao.UsuarioAtual));
        return caminho;
    }
    sessao.EstacaoAtual = CortaEm(estacoes.fieldText("ESTACAO"), Sessao::LarguraEstacao);
    caminho = estacoes.fieldText("DATBASNAM");
    tela.defineTitulo(TituloComEstacao(sessao.UsuarioAtual, sessao.EstacaoAtual));
    MarcaEmUso(estacoes);
    return caminho;
}

} // namespace olvendra::login
