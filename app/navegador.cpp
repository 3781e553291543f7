#include "app/navegador.h"

#include "app/aviso.h"
#include "config/erro_inesperado.h"

#include <QHBoxLayout>
#include <QToolButton>

#include <array>
#include <exception>

namespace olvendra::app {

namespace {

enum Botao { Primeiro, Anterior, Proximo, Ultimo, Inclui, Exclui, Edita, Grava, Cancela, Rele };

struct Desenho {
    const char* nome;
    const char* simbolo;
    const char* dica;
};

constexpr std::array<Desenho, 10> Botoes = {{
    {"Primeiro", "|\u25C0", "Primeiro"},
    {"Anterior", "\u25C0", "Anterior"},
    {"Proximo", "\u25B6", "Próximo"},
    {"Ultimo", "\u25B6|", "Último"},
    {"Inclui", "+", "Incluir"},
    {"Exclui", "\u2212", "Excluir"},
    {"Edita", "\u25B2", "Editar"},
    {"Grava", "\u2714", "Gravar"},
    {"Cancela", "\u2716", "Cancelar"},
    {"Rele", "\u21BB", "Reler"},
}};

} // namespace

DBNavigator::DBNavigator(QWidget* pai, data::RecordSet& conjunto)
    : QWidget(pai), conjunto_(conjunto) {
    auto* fila = new QHBoxLayout(this);
    fila->setContentsMargins(0, 0, 0, 0);
    fila->setSpacing(0);
    for (int botao = 0; botao < static_cast<int>(Botoes.size()); ++botao) {
        auto* desenho = new QToolButton(this);
        desenho->setObjectName(QString::fromLatin1(Botoes[botao].nome));
        desenho->setText(QString::fromUtf8(Botoes[botao].simbolo));
        desenho->setToolTip(QString::fromUtf8(Botoes[botao].dica));
        desenho->setFocusPolicy(Qt::NoFocus);
        desenho->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        connect(desenho, &QToolButton::clicked, this, [this, botao] { aciona(botao); });
        fila->addWidget(desenho);
    }
}

void DBNavigator::aciona(int botao) {
    try {
        switch (botao) {
        case Primeiro:
            conjunto_.first();
            break;
        case Anterior:
            conjunto_.prior();
            break;
        case Proximo:
            conjunto_.next();
            break;
        case Ultimo:
            conjunto_.last();
            break;
        case Inclui:
            conjunto_.insert();
            break;
        case Exclui:
            if (!conjunto_.isEmpty() && ConfirmaExclusao(this)) {
                conjunto_.remove();
            }
            break;
        case Edita:
            conjunto_.edit();
            break;
        case Grava:
            conjunto_.post();
            break;
        case Cancela:
            conjunto_.cancel();
            break;
        case Rele:
            conjunto_.refresh();
            break;
        }
    } catch (...) {
        TrataErroInesperado(std::current_exception());
    }
}

} // namespace olvendra::app
