// The record form's keyboard flow over the real window: each situation of the form's edge cases,
// with the name normalisation option on and off.

#include "registro_aberto.h"
#include "responde_avisos.h"

#include <QAbstractItemView>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTimer>

using namespace olvendra::app::testing;
using olvendra::data::RecordSetState;

class FormularioTest : public QObject {
    Q_OBJECT

    std::unique_ptr<RegistroAberto> r_;

    // The program with the option as given and one professional stored in upper case by another
    // program.
    void abre(bool formataNome) {
        r_ = std::make_unique<RegistroAberto>(formataNome);
        Insere(r_->ambiente, "10", "Pediatria", "ANA LIMA COSTA", "CRM", "SP", "1111");
        r_->abre();
    }
    QLineEdit* edicao(const char* nome) { return r_->controle<QLineEdit>(nome); }

private slots:
    void cleanup() { r_.reset(); }

    void onlyUpAndDownStepTheClosedSpecialtyList() {
        abre(false);
        r_->foca("DBLookupComboBox1");
        for (Qt::Key tecla : {Qt::Key_End, Qt::Key_Home, Qt::Key_PageDown, Qt::Key_PageUp}) {
            Tecla(tecla);
            QCOMPARE(r_->campo("ESPECIALIDADE"), QStringLiteral("Pediatria"));
        }
        QCOMPARE(r_->medicos().state(), RecordSetState::Browsing);
        Tecla(Qt::Key_Up);
        QCOMPARE(r_->campo("ESPECIALIDADE"), Texto("Clínica Geral"));
    }

    void theFilteredFieldsRefuseTextThatComesWithoutAKey() {
        abre(true);
        QApplication::clipboard()->setText(QStringLiteral("colado"));
        for (const char* nome : {"DBEditMedico", "DBEdit1", "DBEditDataAniv", "DBEditComissPerc"}) {
            r_->foca(nome);
            QLineEdit* campo = edicao(nome);
            const QString antes = campo->text();
            // The field's menu (the menu key, a right click) offers no paste.
            bool colarDesligado = false;
            bool menuAberto = false;
            QTimer::singleShot(100, [&] {
                auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                menuAberto = menu != nullptr;
                if (menu != nullptr) {
                    for (QAction* acao : menu->actions()) {
                        if (acao->text().startsWith(
                                QCoreApplication::translate("QLineEdit", "&Paste"))) {
                            colarDesligado = !acao->isEnabled();
                        }
                    }
                    QTest::keyClick(menu, Qt::Key_Escape);
                }
            });
            QContextMenuEvent pedido(QContextMenuEvent::Keyboard, QPoint(5, 5),
                                     campo->mapToGlobal(QPoint(5, 5)));
            QApplication::sendEvent(campo, &pedido);
            QTRY_VERIFY2(menuAberto, nome);
            QVERIFY2(colarDesligado, nome);
            // Neither a drop nor the middle button brings text in.
            QMimeData arrastado;
            arrastado.setText(QStringLiteral("arrastado"));
            QDropEvent soltura(QPointF(5, 5), Qt::CopyAction, &arrastado, Qt::LeftButton,
                               Qt::NoModifier);
            QApplication::sendEvent(campo, &soltura);
            QApplication::clipboard()->setText(QStringLiteral("selecionado"),
                                               QClipboard::Selection);
            QTest::mouseClick(campo, Qt::MiddleButton);
            QCOMPARE(campo->text(), antes);
        }
        QCOMPARE(r_->medicos().state(), RecordSetState::Browsing);
    }

    void aPastedLineBreakBecomesABlankInAOneLineField() {
        abre(false);
        r_->foca("DBEditMedFone");
        edicao("DBEditMedFone")->selectAll();
        QApplication::clipboard()->setText(QStringLiteral("3333\r\n4444\n5555"));
        Tecla(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(edicao("DBEditMedFone")->text(), QStringLiteral("3333  4444 5555"));
        QCOMPARE(r_->campo("TELEFONES"), QStringLiteral("3333  4444 5555"));
    }

    void optionOnNameNormalisedOnEnterAndFocusToTheSpecialty() {
        abre(true);
        r_->foca("DBEditMedico");
        edicao("DBEditMedico")->selectAll();
        Digita("maria da silva");
        Tecla(Qt::Key_Return);
        QCOMPARE(edicao("DBEditMedico")->text(), QStringLiteral("Maria da Silva"));
        QVERIFY(TemFoco(r_->controle("DBLookupComboBox1")));
        QCOMPARE(r_->campo("NOME"), QStringLiteral("Maria da Silva"));
    }

    void optionOffEnterOnlyMovesButLeavingNormalises() {
        abre(false);
        r_->foca("DBEditMedico");
        edicao("DBEditMedico")->selectAll();
        Digita("JOSE SOUZA");
        Tecla(Qt::Key_Return);
        QVERIFY(TemFoco(r_->controle("DBLookupComboBox1")));
        QCOMPARE(edicao("DBEditMedico")->text(), QStringLiteral("Jose Souza"));
        QCOMPARE(r_->campo("NOME"), QStringLiteral("Jose Souza"));
    }

    void optionOnRefusesAccentsApostrophesAndPasteInBothNames() {
        abre(true);
        QApplication::clipboard()->setText(QStringLiteral("colado"));
        for (const char* nome : {"DBEditMedico", "DBEdit1"}) {
            r_->foca(nome);
            edicao(nome)->clear();
            Digita(Texto("aç'b-c."));
            Tecla(Qt::Key_V, Qt::ControlModifier);
            QCOMPARE(edicao(nome)->text(), QStringLiteral("abc"));
        }
    }

    void optionOffAcceptsAccents() {
        abre(false);
        r_->foca("DBEditMedico");
        edicao("DBEditMedico")->clear();
        Digita(Texto("ç'"));
        QCOMPARE(edicao("DBEditMedico")->text(), Texto("ç'"));
    }

    void optionOnEnterInTheSecretaryNormalisesTheProfessionalOnly() {
        abre(true);
        r_->foca("DBEdit1");
        Digita("JOANA PAZ");
        Tecla(Qt::Key_Return);
        QCOMPARE(edicao("DBEditMedico")->text(), QStringLiteral("Ana Lima Costa"));
        QCOMPARE(edicao("DBEdit1")->text(), QStringLiteral("JOANA PAZ"));
        r_->navegador("Grava");
        const auto linha = LeDoBanco(r_->ambiente, "10").at(0);
        QCOMPARE(linha.at("NOME"), "Ana Lima Costa");
        QCOMPARE(linha.at("NOME_SECRETARIA"), "JOANA PAZ");
    }

    void dayMonthFieldsRefuseLettersAndKeepTheSlash() {
        for (const bool opcao : {true, false}) {
            abre(opcao);
            for (const char* nome : {"DBEditDataAniv", "DBEdit2"}) {
                r_->foca(nome);
                edicao(nome)->home(false);
                Digita("1a2b0x5");
                QCOMPARE(edicao(nome)->text(), QStringLiteral("12/05"));
            }
            r_->navegador("Grava");
            const auto linha = LeDoBanco(r_->ambiente, "10").at(0);
            QCOMPARE(linha.at("DATAANIVERSARIO"), "12/05");
            QCOMPARE(linha.at("ANIV_SECRETARIA"), "12/05");
            r_.reset();
        }
    }

    void escInATypedDayMonthFieldStaysThereButLeavesFromAnUntouchedOne() {
        abre(false);
        r_->foca("DBEditDataAniv");
        edicao("DBEditDataAniv")->home(false);
        Digita("1");
        Tecla(Qt::Key_Escape);
        QVERIFY(r_->janela().isVisible());
        RespondeAvisos avisos(QMessageBox::Yes);
        r_->foca("DBEdit2");
        Tecla(Qt::Key_Escape);
        // The exit starts: the record is complete, so it is stored and the program ends.
        QVERIFY(!r_->janela().isVisible());
        QCOMPARE(LeDoBanco(r_->ambiente, "10").at(0).at("DATAANIVERSARIO"), "1/");
    }

    void percentageFieldsTakeNumbersOnly() {
        abre(false);
        for (const char* nome : {"DBEditComissPerc", "DBEdit4"}) {
            r_->foca(nome);
            Digita("a1%5");
            QCOMPARE(edicao(nome)->text(), QStringLiteral("15"));
        }
        r_->navegador("Grava");
        QCOMPARE(LeDoBanco(r_->ambiente, "10").at(0).at("COMISSPERC"), "15");
    }

    void theSpecialtyListIgnoresTypingAndStepsWithTheArrows() {
        abre(false);
        r_->ambiente.executa("update MEDICOS set ESPECIALIDADE = 'Ortopedia'", {});
        r_->navegador("Rele");
        auto* lista = r_->controle<QComboBox>("DBLookupComboBox1");
        QCOMPARE(lista->count(), 3);
        // Ortopedia, the record's value, is not one of the list's entries.
        QCOMPARE(lista->currentIndex(), -1);
        r_->foca("DBLookupComboBox1");
        Digita("Card");
        QCOMPARE(lista->currentIndex(), -1);
        QCOMPARE(r_->medicos().state(), RecordSetState::Browsing);
        Tecla(Qt::Key_Down);
        QCOMPARE(r_->campo("ESPECIALIDADE"), QStringLiteral("Cardiologia"));
        Tecla(Qt::Key_Down);
        QCOMPARE(r_->campo("ESPECIALIDADE"), Texto("Clínica Geral"));
        QCOMPARE(lista->currentText(), Texto("Clínica Geral"));
        Tecla(Qt::Key_Up);
        QCOMPARE(r_->campo("ESPECIALIDADE"), QStringLiteral("Cardiologia"));
        Tecla(Qt::Key_Return);
        QVERIFY(TemFoco(r_->controle("DBEditMedFone")));
    }

    void enterInTheOpenSpecialtyListMovesOnWithoutTakingTheEntry() {
        abre(false);
        auto* lista = r_->controle<QComboBox>("DBLookupComboBox1");
        r_->foca("DBLookupComboBox1");
        lista->showPopup();
        QTest::keyClick(lista->view(), Qt::Key_Down);
        QTest::keyClick(lista->view(), Qt::Key_Return);
        QVERIFY(!lista->view()->isVisible());
        QCOMPARE(r_->campo("ESPECIALIDADE"), QStringLiteral("Pediatria"));
        QVERIFY(TemFoco(r_->controle("DBEditMedFone")));
    }

    void enterInTheMemoMovesToTheCepAndShrinksIt() {
        abre(false);
        auto* memo = r_->controle<QPlainTextEdit>("DBEdit11");
        r_->foca("DBEdit11");
        QCOMPARE(memo->height(), 120);
        Digita("nota");
        Tecla(Qt::Key_Return);
        QVERIFY(TemFoco(r_->controle("DBEditMedCEP")));
        QCOMPARE(memo->height(), 24);
        QCOMPARE(memo->toPlainText(), QStringLiteral("nota"));
    }

    void leavingTheEmailAndTheCouncilStateChangesTheirCase() {
        abre(false);
        r_->foca("DBEditEmail");
        Digita(Texto("ANA.LIMA@CLÍNICA.COM"));
        r_->foca("DBComboBox2");
        r_->controle<QComboBox>("DBComboBox2")->lineEdit()->selectAll();
        QCOMPARE(edicao("DBEditEmail")->text(), Texto("ana.lima@clÍnica.com"));
        QCOMPARE(r_->campo("E_MAIL"), Texto("ana.lima@clÍnica.com"));
        // Typed letters are upper-cased as they are typed; leaving upper-cases a stored value.
        Digita("rj");
        QCOMPARE(r_->controle<QComboBox>("DBComboBox2")->currentText(), QStringLiteral("RJ"));
        r_->ambiente.executa("update MEDICOS set UFCONSELHO = 'sp'", {});
        r_->navegador("Grava");
        QCOMPARE(LeDoBanco(r_->ambiente, "10").at(0).at("UFCONSELHO"), "RJ");
    }

    void browsedRecordTextsAreShownButNotStored() {
        abre(false);
        r_->ambiente.executa("update MEDICOS set UFCONSELHO = 'sp', ESPECIALIDADE = ''", {});
        r_->navegador("Rele");
        r_->foca("DBComboBox2");
        r_->foca("DBEditEspecial");
        QCOMPARE(edicao("DBEditEspecial")->text(), Texto("Médico"));
        r_->foca("DBEditMedico");
        r_->foca("DBComboBox1");
        QCOMPARE(r_->controle<QComboBox>("DBComboBox2")->currentText(), QStringLiteral("SP"));
        QCOMPARE(edicao("DBEditMedico")->text(), QStringLiteral("Ana Lima Costa"));
        QCOMPARE(r_->medicos().state(), RecordSetState::Browsing);
        QCOMPARE(r_->campo("NOME"), QStringLiteral("ANA LIMA COSTA"));
        QCOMPARE(r_->medicos().pendingChangeCount(), std::size_t{0});
        const auto linha = LeDoBanco(r_->ambiente, "10").at(0);
        QCOMPARE(linha.at("NOME"), "ANA LIMA COSTA");
        QCOMPARE(linha.at("UFCONSELHO"), "sp");
    }

    void theEmptySpecialtyDisplayStoresMedicoWhenLeftInEditing() {
        abre(false);
        RespondeAvisos avisos;
        r_->navegador("Inclui");
        QCOMPARE(edicao("DBEditEspecial")->text(), QString());
        r_->foca("DBEditEspecial");
        QCOMPARE(edicao("DBEditEspecial")->text(), Texto("Médico"));
        r_->foca("DBEditMedFone");
        QCOMPARE(r_->campo("ESPECIALIDADE"), Texto("Médico"));
    }

    void enterWrapsFromTheRepresentativeToTheCouncil() {
        abre(false);
        r_->foca("DBEdit3");
        Tecla(Qt::Key_Return);
        QVERIFY(TemFoco(r_->controle("DBComboBox1")));
        const QStringList caminho = {"DBComboBox2",   "DBEditMedico",   "DBLookupComboBox1",
                                     "DBEditMedFone", "DBEditMedEnd",   "DBEditMedCompl",
                                     "DBEditMedCid",  "DBEditMedEst",   "DBEdit11",
                                     "DBEditMedCEP",  "DBEditDataAniv", "DBEditComissPerc",
                                     "DBEdit4",       "DBEditEmail",    "DBEdit1",
                                     "DBEdit2",       "DBEdit3",        "DBComboBox1"};
        for (const QString& proximo : caminho) {
            Tecla(Qt::Key_Return);
            QVERIFY2(TemFoco(r_->controle(proximo.toLatin1().constData())), qPrintable(proximo));
        }
    }

    void aLongNameIsStoredCutToTheColumn() {
        abre(false);
        r_->foca("DBEditMedico");
        edicao("DBEditMedico")->selectAll();
        const QString nome = QStringLiteral("Abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwx");
        Digita(nome);
        QCOMPARE(nome.size(), 50);
        r_->navegador("Grava");
        QCOMPARE(QString::fromStdString(LeDoBanco(r_->ambiente, "10").at(0).at("NOME")),
                 nome.left(40));
    }

    void enterOrSpaceOnTheExitButtonAfterLoginStartsTheExit() {
        for (const Qt::Key tecla : {Qt::Key_Return, Qt::Key_Space}) {
            abre(true);
            QVERIFY(TemFoco(r_->registro().BotSairMedicos));
            Tecla(tecla);
            QVERIFY(!r_->janela().isVisible());
            r_.reset();
        }
    }
};

QTEST_MAIN(FormularioTest)
#include "formulario_test.moc"
