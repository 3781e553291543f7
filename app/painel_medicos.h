#pragma once

#include "app/painel.h"
#include "data/record_set.h"
#include "registry/fluxo_do_formulario.h"

#include <QList>

class QPushButton;
class QWidget;

namespace olvendra::app {

class DBNavigator;

// The record panel: the navigator, the three large buttons and one labelled field per column of
// the current professional, laid out at the suite's fixed positions. Group A are the fifteen data
// controls and the three buttons that the enable-state operations switch; the navigator is
// switched only by the login; the council, council state, specialty list, discount and
// representative controls are never switched.
class PainelMedicos : public Painel {
public:
    PainelMedicos(QWidget* pai, data::RecordSet& medicos, data::RecordSet& espec);

    DBNavigator* DBNavigator7 = nullptr;
    QPushButton* BotPesqMed = nullptr;
    QPushButton* BotTabelaMed = nullptr;
    QPushButton* BotSairMedicos = nullptr;
    QWidget* DBEditCRM = nullptr;

    // Each sets the enabled state of its fixed set of controls and touches nothing else.
    void DesabilitaCampos();
    void HabilitaBotoesCampos();
    void DesabilitaBotoesCampos();

    // The controls in tab order, the no-stop ones included.
    const QList<QWidget*>& ordemDeTabulacao() const { return ordem_; }
    // The data controls in tab order and those the keyboard flow treats one by one.
    registry::ControlesDoFormulario controles() const;

private:
    void criaBotoes();
    void criaCampos(data::RecordSet& medicos, data::RecordSet& espec);
    void criaLegendas();
    void defineOrdemDeTabulacao();
    void habilita(const QList<QWidget*>& controles, bool habilitado);

    QList<QWidget*> camposA_;
    QList<QWidget*> botoesA_;
    QList<QWidget*> ordem_;
};

} // namespace olvendra::app
