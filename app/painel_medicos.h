#pragma once

#include "app/controles_dados.h"
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

    // The data controls, top to bottom.
    DBEdit* DBEditCRM = nullptr;
    DBComboBox* DBComboBox1 = nullptr; // council
    DBComboBox* DBComboBox2 = nullptr; // council state
    DBEdit* DBEditMedico = nullptr;
    DBLookupComboBox* DBLookupComboBox1 = nullptr; // specialty
    DBEdit* DBEditEspecial = nullptr;              // the specialty display
    DBEdit* DBEditMedFone = nullptr;
    DBEdit* DBEditMedEnd = nullptr;
    DBEdit* DBEditMedCompl = nullptr;
    DBEdit* DBEditMedCid = nullptr;
    DBComboBox* DBEditMedEst = nullptr;
    DBMemo* DBEdit11 = nullptr; // notes
    DBEdit* DBEditMedCEP = nullptr;
    DBEdit* DBEditDataAniv = nullptr;
    DBEdit* DBEditComissPerc = nullptr;
    DBEdit* DBEdit4 = nullptr; // discount
    DBEdit* DBEditEmail = nullptr;
    DBEdit* DBEdit1 = nullptr; // secretary's name
    DBEdit* DBEdit2 = nullptr; // secretary's birthday
    DBEdit* DBEdit3 = nullptr; // representative

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
