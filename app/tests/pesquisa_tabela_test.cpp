// The search and the table view over the real window and a real database per test.

#include "app/grade_dados.h"
#include "app/painel_pesquisa.h"
#include "app/painel_relacao.h"
#include "app/painel_tabela.h"
#include "registro_aberto.h"
#include "responde_avisos.h"

#include <QAbstractItemModelTester>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>

using namespace olvendra::app::testing;
using olvendra::data::RecordSetState;

namespace {

const QString Verifique = Texto("=> Verifique por favor: \n");

} // namespace

class PesquisaTabelaTest : public QObject {
    Q_OBJECT

    std::unique_ptr<RegistroAberto> r_;

    olvendra::app::PainelPesquisa& entrada() { return *r_->janela().painelPesquisa(); }
    olvendra::app::PainelRelacao& relacao() { return *r_->janela().painelRelacao(); }
    olvendra::app::PainelTabela& tabela() { return *r_->janela().painelTabela(); }

    QStringList nomesDaLista() {
        QStringList nomes;
        auto* modelo = relacao().GradePesqMed->model();
        for (int linha = 0; linha < modelo->rowCount(); ++linha) {
            nomes << modelo->index(linha, 0).data().toString();
        }
        return nomes;
    }

    // "&Pesquisar" by Alt+P, as the user would.
    void abrePesquisa() {
        Atalho(r_->janela(), Qt::Key_P);
        QVERIFY(entrada().isVisible());
        QCOMPARE(entrada().geometry(), QRect(140, 90, 337, 175));
        QVERIFY(TemFoco(entrada().EditPesqMed));
        QVERIFY(!r_->registro().BotPesqMed->isEnabled());
        QVERIFY(r_->registro().DBNavigator7->isEnabled());
    }

    // F2 on the current cell, its whole text replaced, Enter.
    void reescreveCelula(const QString& texto) {
        Tecla(Qt::Key_F2);
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(editor != nullptr);
        editor->selectAll();
        Digita(texto);
        Tecla(Qt::Key_Return);
        // The cell editor hands its text over from the event loop.
        QCoreApplication::processEvents();
    }

private slots:
    void init() {
        r_ = std::make_unique<RegistroAberto>();
        Insere(r_->ambiente, "300", "Pediatria", "Ana Maria S. Oliveira");
        Insere(r_->ambiente, "100", "Cardiologia", "Bruno Reis");
        Insere(r_->ambiente, "2'5", "Pediatria", "Carla Dias");
        Insere(r_->ambiente, "200", "Pediatria", "Maria da Silva");
        Insere(r_->ambiente, "201", "Cardiologia", "Maria da Silva");
        r_->abre();
    }
    void cleanup() { r_.reset(); }

    void searchByNameThenChoose() {
        QVERIFY(r_->medicos().findKey({"Carla Dias"}));
        abrePesquisa();
        QCOMPARE(r_->janela().pesquisa().NomeSalvo, "Carla Dias");
        Digita("maria da silva");
        Tecla(Qt::Key_Return);
        QVERIFY(!entrada().isVisible());
        QVERIFY(relacao().isVisible());
        QCOMPARE(relacao().geometry(), QRect(84, 75, 514, 447));
        QVERIFY(TemFoco(relacao().GradePesqMed));
        QCOMPARE(nomesDaLista(), (QStringList{"Maria da Silva", "Maria da Silva"}));
        Tecla(Qt::Key_Down);
        QCOMPARE(r_->campo("CRM"), QStringLiteral("201"));
        Tecla(Qt::Key_Return);
        QVERIFY(!relacao().isVisible());
        QCOMPARE(r_->medicos().rowCount(), std::size_t{5});
        QCOMPARE(r_->campo("CRM"), QStringLiteral("201"));
        QVERIFY(r_->registro().BotPesqMed->isEnabled());
    }

    void theSearchedNameIsNormalisedLikeTheStoredOnes() {
        abrePesquisa();
        Digita("ana maria silva de oliveira");
        Tecla(Qt::Key_Return);
        QCOMPARE(nomesDaLista(), QStringList{"Ana Maria S. Oliveira"});
    }

    void searchByNumberWithAnApostropheThenCancel() {
        QVERIFY(r_->medicos().findKey({"Bruno Reis"}));
        abrePesquisa();
        Tecla(Qt::Key_Tab);
        QVERIFY(TemFoco(entrada().EditPesqCRM));
        Digita("2'");
        QTest::mouseClick(entrada().BotLocalizaMed, Qt::LeftButton);
        QCOMPARE(nomesDaLista(), QStringList{"Carla Dias"});
        QTest::mouseClick(relacao().BotEscPesqMedi, Qt::LeftButton);
        QVERIFY(!relacao().isVisible());
        QCOMPARE(r_->campo("NOME"), QStringLiteral("Bruno Reis"));
        QCOMPARE(r_->medicos().rowCount(), std::size_t{5});
    }

    void numberSearchIsOrderedByNumberAndEnterChooses() {
        abrePesquisa();
        entrada().EditPesqCRM->setFocus(Qt::MouseFocusReason);
        Digita("2");
        Tecla(Qt::Key_Return);
        // "'" comes before the digits.
        QCOMPARE(nomesDaLista(), (QStringList{"Carla Dias", "Maria da Silva", "Maria da Silva"}));
        QTest::mouseClick(relacao().BotEnterPesqMed, Qt::LeftButton);
        QCOMPARE(r_->campo("CRM"), QStringLiteral("2'5"));
    }

    void gainingTheFocusEmptiesBothFields() {
        abrePesquisa();
        entrada().EditPesqCRM->setFocus(Qt::MouseFocusReason);
        Digita("123");
        entrada().EditPesqMed->setFocus(Qt::MouseFocusReason);
        QCOMPARE(entrada().EditPesqCRM->text(), QString());
        QCOMPARE(entrada().EditPesqMed->text(), QString());
    }

    void bothFieldsEmptyCloseThePanelOnTheTableButton() {
        abrePesquisa();
        QTest::mouseClick(entrada().BotLocalizaMed, Qt::LeftButton);
        QVERIFY(!entrada().isVisible());
        QVERIFY(TemFoco(r_->registro().BotTabelaMed));
        QVERIFY(r_->registro().BotPesqMed->isEnabled());
        QCOMPARE(r_->medicos().rowCount(), std::size_t{5});
    }

    void escInTheSearchFieldClosesItUntouched() {
        r_->medicos().last();
        abrePesquisa();
        Tecla(Qt::Key_Escape);
        QVERIFY(!entrada().isVisible());
        QVERIFY(r_->janela().isVisible());
        QVERIFY(TemFoco(r_->registro().BotPesqMed));
        QCOMPARE(r_->campo("CRM"), QStringLiteral("201"));
    }

    void anEmptyNameListsEveryoneAndNoMatchGivesAnEmptyList() {
        abrePesquisa();
        Tecla(Qt::Key_Return);
        QCOMPARE(nomesDaLista().size(), 5);
        Tecla(Qt::Key_Escape);
        abrePesquisa();
        Digita("zzz");
        Tecla(Qt::Key_Return);
        QCOMPARE(nomesDaLista(), QStringList{});
        Tecla(Qt::Key_Return);
        QVERIFY(!relacao().isVisible());
        QCOMPARE(r_->medicos().position(), std::size_t{0});
        QCOMPARE(r_->campo("NOME"), QStringLiteral("Ana Maria S. Oliveira"));
    }

    void cancelAfterTheSavedProfessionalWasDeletedKeepsTheFullList() {
        QVERIFY(r_->medicos().findKey({"Carla Dias"}));
        abrePesquisa();
        Digita("Carla");
        Tecla(Qt::Key_Return);
        RespondeAvisos avisos(QMessageBox::Ok);
        Tecla(Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(avisos.textos, QStringList{"Delete record?"});
        QCOMPARE(nomesDaLista(), QStringList{});
        QVERIFY(LeDoBanco(r_->ambiente, "2'5").empty());
        QVERIFY(QTest::qWaitForWindowActive(&r_->janela()));
        QVERIFY(TemFoco(relacao().GradePesqMed));
        Tecla(Qt::Key_Escape);
        QVERIFY(relacao().isVisible());
        QCOMPARE(nomesDaLista().size(), 4);
        QVERIFY(!r_->registro().BotPesqMed->isEnabled());
        Tecla(Qt::Key_Return);
        QVERIFY(!relacao().isVisible());
    }

    void searchingDiscardsANewRecordWithoutQuestions() {
        RespondeAvisos avisos;
        r_->navegador("Inclui");
        Digita("999");
        Atalho(r_->janela(), Qt::Key_P);
        QVERIFY(entrada().isVisible());
        Digita("Bruno");
        Tecla(Qt::Key_Return);
        QCOMPARE(avisos.textos, QStringList{});
        QVERIFY(LeDoBanco(r_->ambiente, "999").empty());
    }

    void theTableShowsItsColumnsAndClosingKeepsTheSelectedProfessional() {
        QVERIFY(r_->medicos().findKey({"Bruno Reis"}));
        Atalho(r_->janela(), Qt::Key_T);
        QVERIFY(tabela().isVisible());
        QCOMPARE(tabela().geometry(), QRect(6, 61, 778, 460));
        auto* grade = tabela().TabelaMedicos;
        QVERIFY(TemFoco(grade));
        QStringList titulos;
        for (int coluna = 0; coluna < grade->model()->columnCount(); ++coluna) {
            titulos << grade->model()->headerData(coluna, Qt::Horizontal).toString();
        }
        QCOMPARE(titulos, (QStringList{" Reg.Prof.", "Nome", "Especialidade", "Telefone",
                                       "Conselho", "UF Cons.", "Cidade"}));
        QCOMPARE(grade->columnWidth(1), 215);
        QCOMPARE(grade->currentIndex().row(), 1);
        QVERIFY(!r_->registro().BotSairMedicos->isEnabled());
        Tecla(Qt::Key_Down);
        Tecla(Qt::Key_Escape);
        QVERIFY(!tabela().isVisible());
        QVERIFY(r_->janela().isVisible());
        QCOMPARE(r_->campo("NOME"), QStringLiteral("Carla Dias"));
        QVERIFY(r_->registro().BotSairMedicos->isEnabled());
    }

    void editingACellStoresTheRowWhenMovingOn() {
        Atalho(r_->janela(), Qt::Key_T);
        auto* grade = tabela().TabelaMedicos;
        grade->setCurrentIndex(grade->model()->index(1, 3));
        reescreveCelula("5555-0000");
        QCOMPARE(r_->medicos().state(), RecordSetState::Editing);
        Tecla(Qt::Key_Down);
        QCOMPARE(LeDoBanco(r_->ambiente, "100").at(0).at("TELEFONES"), "5555-0000");
        QCOMPARE(r_->medicos().state(), RecordSetState::Browsing);
        // The store re-read the set; the cursor stays in the telephone column.
        QCOMPARE(grade->currentIndex().column(), 3);
    }

    void aStoreKeepsTheGridsCellAndScrollAndTellsOnlyTheRowsThatMoved() {
        for (int i = 0; i < 40; ++i) {
            Insere(r_->ambiente, std::to_string(500 + i), "Pediatria",
                   "Paula Nunes " + std::to_string(10 + i));
        }
        r_->medicos().refresh();
        Atalho(r_->janela(), Qt::Key_T);
        auto* grade = tabela().TabelaMedicos;
        // Fails the test on any signal that does not match the model's rows.
        QAbstractItemModelTester verificador(
            grade->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy reinicios(grade->model(), &QAbstractItemModel::modelReset);
        QSignalSpy movidas(grade->model(), &QAbstractItemModel::rowsMoved);
        const QModelIndex celula = grade->model()->index(30, 3);
        grade->setCurrentIndex(celula);
        grade->scrollTo(celula, QAbstractItemView::PositionAtCenter);
        const int rolagem = grade->verticalScrollBar()->value();
        QVERIFY(rolagem > 0);
        const std::string crm = celula.siblingAtColumn(0).data().toString().toStdString();

        reescreveCelula("5555-0000");
        Tecla(Qt::Key_Down); // stores the row and re-reads the set
        QCOMPARE(r_->medicos().state(), RecordSetState::Browsing);
        QCOMPARE(LeDoBanco(r_->ambiente, crm).at(0).at("TELEFONES"), "5555-0000");
        QCOMPARE(grade->currentIndex(), grade->model()->index(31, 3));
        QCOMPARE(grade->verticalScrollBar()->value(), rolagem);
        QCOMPARE(reinicios.count(), 0);
        QCOMPARE(movidas.count(), 0);

        // A name that sorts first takes its row to the top, told as one move.
        grade->setCurrentIndex(grade->model()->index(31, 1));
        reescreveCelula("Aaron Alves");
        Tecla(Qt::Key_Up);
        QCOMPARE(movidas.count(), 1);
        QCOMPARE(movidas.at(0).at(1).toInt(), 31); // first row moved
        QCOMPARE(movidas.at(0).at(4).toInt(), 0);  // placed before the first row
        QCOMPARE(grade->model()->index(0, 1).data().toString(), QStringLiteral("Aaron Alves"));
        QCOMPARE(reinicios.count(), 0);
    }

    void downPastTheLastRowAddsARecordThatUpCannotDrop() {
        RespondeAvisos avisos;
        Atalho(r_->janela(), Qt::Key_T);
        r_->medicos().last();
        Tecla(Qt::Key_Down);
        QCOMPARE(r_->medicos().state(), RecordSetState::Inserting);
        QCOMPARE(r_->medicos().rowCount(), std::size_t{6});
        QCOMPARE(r_->campo("ATENDENTE"), QStringLiteral("MARIA"));
        QVERIFY(TemFoco(tabela().TabelaMedicos));
        Tecla(Qt::Key_Up);
        QCOMPARE(
            avisos.textos,
            QStringList{Verifique + Texto("      - Campo \"Nº Registro\" não foi preenchido.")});
        QCOMPARE(r_->medicos().state(), RecordSetState::Inserting);
        QCOMPARE(tabela().TabelaMedicos->currentIndex().row(), 5);
    }

    void insertWithOnlyANumberReportsTheCouncil() {
        RespondeAvisos avisos;
        Atalho(r_->janela(), Qt::Key_T);
        Tecla(Qt::Key_Insert);
        QCOMPARE(r_->medicos().state(), RecordSetState::Inserting);
        auto* grade = tabela().TabelaMedicos;
        grade->setCurrentIndex(grade->model()->index(grade->currentIndex().row(), 0));
        Tecla(Qt::Key_F2);
        Digita("777");
        Tecla(Qt::Key_Return);
        QCoreApplication::processEvents();
        QCOMPARE(r_->campo("CRM"), QStringLiteral("777"));
        Tecla(Qt::Key_Down);
        QCOMPARE(
            avisos.textos,
            QStringList{Verifique + Texto("      - Campo \"Conselho\" não foi preenchido.\n")});
        QCOMPARE(r_->medicos().state(), RecordSetState::Inserting);
        QVERIFY(LeDoBanco(r_->ambiente, "777").empty());
    }

    void ctrlDeleteInTheTableDeletesAfterTheQuestion() {
        QVERIFY(r_->medicos().findKey({"Bruno Reis"}));
        Atalho(r_->janela(), Qt::Key_T);
        {
            RespondeAvisos avisos(QMessageBox::Cancel);
            Tecla(Qt::Key_Delete, Qt::ControlModifier);
            QCOMPARE(avisos.titulos, QStringList{"Confirm"});
        }
        QCOMPARE(ContaNoBanco(r_->ambiente), std::size_t{5});
        QVERIFY(QTest::qWaitForWindowActive(&r_->janela()));
        RespondeAvisos avisos(QMessageBox::Ok);
        Tecla(Qt::Key_Delete, Qt::ControlModifier);
        QVERIFY(LeDoBanco(r_->ambiente, "100").empty());
        QCOMPARE(tabela().TabelaMedicos->model()->rowCount(), 4);
    }
};

QTEST_MAIN(PesquisaTabelaTest)
#include "pesquisa_tabela_test.moc"
