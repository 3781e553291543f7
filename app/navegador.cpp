#include "app/navegador.h"

#include "app/aviso.h"
#include "config/erro_inesperado.h"

#include <QHBoxLayout>
#include <QShortcut>
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
    // Keys that press the button from anywhere in the window; none of them means anything else
    // to the registry.
    std::array<QKeyCombination, 2> teclas;
};

constexpr QKeyCombination Nenhuma{};

constexpr std::array<Desenho, 10> Botoes = {{
    {"Primeiro", "|\u25C0", "Primeiro", {Qt::CTRL | Qt::Key_PageUp, Nenhuma}},
    {"Anterior", "\u25C0", "Anterior", {Qt::CTRL | Qt::Key_Up, Nenhuma}},
    {"Proximo", "\u25B6", "Próximo", {Qt::CTRL | Qt::Key_Down, Nenhuma}},
    {"Ultimo", "\u25B6|", "Último", {Qt::CTRL | Qt::Key_PageDown, Nenhuma}},
    {"Inclui", "+", "Incluir", {Qt::CTRL | Qt::Key_N, Nenhuma}},
    {"Exclui", "\u2212", "Excluir", {Qt::CTRL | Qt::Key_Delete, Nenhuma}},
    {"Edita", "\u25B2", "Editar", {Qt::CTRL | Qt::Key_E, Nenhuma}},
    {"Grava", "\u2714", "Gravar", {Qt::CTRL | Qt::Key_Return, Qt::CTRL | Qt::Key_Enter}},
    {"Cancela", "\u2716", "Cancelar", {Qt::CTRL | Qt::Key_D, Nenhuma}},
    {"Rele", "\u21BB", "Reler", {QKeyCombination(Qt::Key_F5), Nenhuma}},
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
        desenho->setFocusPolicy(Qt::NoFocus);
        desenho->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        connect(desenho, &QToolButton::clicked, this, [this, botao] { aciona(botao); });
        fila->addWidget(desenho);
        const QKeySequence principal(Botoes[botao].teclas[0]);
        desenho->setToolTip(QString::fromUtf8(Botoes[botao].dica) + QStringLiteral(" (") +
                            principal.toString(QKeySequence::NativeText) + QLatin1Char(')'));
        for (const QKeyCombination tecla : Botoes[botao].teclas) {
            if (tecla == Nenhuma) {
                continue;
            }
            auto* atalho = new QShortcut(QKeySequence(tecla), this);
            atalho->setContext(Qt::WindowShortcut);
            connect(atalho, &QShortcut::activated, this, [this, botao] {
                if (isEnabled()) {
                    aciona(botao);
                }
            });
        }
    }
}

QList<QKeySequence> DBNavigator::Atalhos() {
    QList<QKeySequence> teclas;
    for (const Desenho& desenho : Botoes) {
        for (const QKeyCombination tecla : desenho.teclas) {
            if (tecla != Nenhuma) {
                teclas << QKeySequence(tecla);
            }
        }
    }
    return teclas;
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
            if (conjunto_.state() == data::RecordSetState::Browsing && gravaPendentes) {
                gravaPendentes();
            } else {
                conjunto_.post();
            }
            break;
        case Cancela:
            conjunto_.cancel();
            break;
        case Rele:
            if (!gravaPendentes || gravaPendentes()) {
                conjunto_.refresh();
            }
            break;
        }
    } catch (...) {
        TrataErroInesperado(std::current_exception());
    }
}

} // namespace olvendra::app
