// The record rules through the real window and a real database per test: new records, the
// validation and its report, the exit button's outcomes, and saving with its failure notice.

#include "app/navegador.h"
#include "registro_aberto.h"
#include "responde_avisos.h"

#include <QMessageBox>

using namespace olvendra::app::testing;
using olvendra::data::RecordSetState;

namespace {

const QString Titulo = Texto("CADASTRO DE PROFISSIONAL DA SAÚDE");
const QString Verifique = Texto("=> Verifique por favor: \n");
const QString Pergunta1 = Texto("Você não preencheu todos os campos obrigatórios.\n"
                                "Deseja continuar as alterações no cadastro?");
const QString FalhaAoSalvar = Texto("Falha ao tentar salvar os dados no banco de dados. Entre "
                                    "em contato com suporte técnico por favor.");

QString Linha(const char* rotulo) {
    return Texto("      - Campo \"") + Texto(rotulo) + Texto("\" não foi preenchido.");
}

QString Pergunta2(const QString& crm) {
    return Texto("As alterações realizadas para o \"REGISTRO Nº ") + crm +
           Texto("\" não serão salvas. \nDeseja sair do cadastro?");
}

} // namespace

class RegrasTest : public QObject {
    Q_OBJECT

    std::unique_ptr<RegistroAberto> r_;

    // Writes a column of the current record as the form does when the user types.
    void escreve(const char* coluna, const char* utf8) {
        r_->medicos().setFieldText(coluna, olvendra::Utf8ParaWin1252(utf8));
    }

private slots:
    void init() { r_ = std::make_unique<RegistroAberto>(); }
    void cleanup() { r_.reset(); }

    void aNewRecordGetsTheUserAndTheFocusAndReportsTheRegistrationNumber() {
        Insere(r_->ambiente, "1", "Pediatria", "Ana Lima");
        r_->abre();
        RespondeAvisos avisos;
        r_->navegador("Inclui");
        QCOMPARE(r_->medicos().state(), RecordSetState::Inserting);
        QVERIFY(TemFoco(r_->registro().DBEditCRM));
        QCOMPARE(r_->campo("ATENDENTE"), QStringLiteral("MARIA"));
        QCOMPARE(r_->controle<QLabel>("DBText1")->text(), QStringLiteral("MARIA"));
        r_->navegador("Grava");
        QCOMPARE(avisos.textos, QStringList{Verifique + Linha("Nº Registro")});
        QCOMPARE(avisos.titulos, QStringList{Titulo});
        QCOMPARE(avisos.icones, QList<QMessageBox::Icon>{QMessageBox::Warning});
        QCOMPARE(r_->medicos().state(), RecordSetState::Inserting);
        QVERIFY(!r_->janela().regras().RegistroValido);
        QCOMPARE(ContaNoBanco(r_->ambiente), std::size_t{1});
    }

    void theValidationReportsTheFirstEmptyField_data() {
        QTest::addColumn<QStringList>("preenchidos");
        QTest::addColumn<QString>("relatorio");
        QTest::newRow("only the number") << QStringList{"CRM"} << Linha("Conselho") + "\r";
        QTest::newRow("number, council")
            << QStringList{"CRM", "CONSELHOPROFISSIONAL"} << Linha("UF") + "\r";
        QTest::newRow("number, council, state: specialty, not the name")
            << QStringList{"CRM", "CONSELHOPROFISSIONAL", "UFCONSELHO"}
            << Linha("Especialidade") + "\r";
        QTest::newRow("all but the name")
            << QStringList{"CRM", "CONSELHOPROFISSIONAL", "UFCONSELHO", "ESPECIALIDADE"}
            << Linha("Nome do Profissional") + "\r";
        QTest::newRow("the name alone") << QStringList{"NOME"} << Linha("Nº Registro");
    }

    void theValidationReportsTheFirstEmptyField() {
        QFETCH(QStringList, preenchidos);
        QFETCH(QString, relatorio);
        r_->abre();
        RespondeAvisos avisos;
        r_->navegador("Inclui");
        for (const QString& coluna : preenchidos) {
            escreve(coluna.toLatin1().constData(), "X");
        }
        r_->navegador("Grava");
        // The message box shows the carriage returns as line breaks.
        QCOMPARE(avisos.textos, QStringList{Verifique + QString(relatorio).replace('\r', '\n')});
        QCOMPARE(r_->medicos().state(), RecordSetState::Inserting);
        QCOMPARE(ContaNoBanco(r_->ambiente), std::size_t{0});
    }

    void fieldsOfBlanksCountAsFilledAndTheRecordIsSaved() {
        r_->abre();
        RespondeAvisos avisos;
        r_->navegador("Inclui");
        for (const char* coluna :
             {"CRM", "CONSELHOPROFISSIONAL", "UFCONSELHO", "ESPECIALIDADE", "NOME"}) {
            escreve(coluna, " ");
        }
        r_->navegador("Grava");
        QCOMPARE(avisos.textos, QStringList{});
        const auto linhas = LeDoBanco(r_->ambiente, " ");
        QCOMPARE(linhas.size(), std::size_t{1});
        QCOMPARE(linhas[0].at("NOME"), " ");
        QCOMPARE(linhas[0].at("ATENDENTE"), "MARIA");
    }

    void movingAwayFromAnIncompleteRecordKeepsTheUserOnIt() {
        Insere(r_->ambiente, "1", "Pediatria", "Ana Lima");
        Insere(r_->ambiente, "2", "Pediatria", "Bruno Reis");
        r_->abre();
        RespondeAvisos avisos;
        r_->medicos().first();
        escreve("UFCONSELHO", "");
        r_->navegador("Proximo");
        QCOMPARE(avisos.textos, QStringList{Verifique + Linha("UF") + "\n"});
        QCOMPARE(r_->medicos().position(), std::size_t{0});
        QCOMPARE(r_->medicos().state(), RecordSetState::Editing);
        // The untouched new record counts as changed: it holds ATENDENTE.
        r_->navegador("Cancela");
        r_->navegador("Inclui");
        r_->navegador("Ultimo");
        QCOMPARE(avisos.textos.size(), 2);
        QCOMPARE(avisos.textos.last(), Verifique + Linha("Nº Registro"));
        QCOMPARE(r_->medicos().state(), RecordSetState::Inserting);
        r_->navegador("Cancela");
        QCOMPARE(r_->medicos().rowCount(), std::size_t{2});
        QCOMPARE(ContaNoBanco(r_->ambiente), std::size_t{2});
    }

    void exitOutcomes_data() {
        QTest::addColumn<bool>("completo");
        QTest::addColumn<bool>("apagadoPorOutro");
        QTest::addColumn<QList<QMessageBox::StandardButton>>("respostas");
        QTest::addColumn<QStringList>("mensagens");
        QTest::addColumn<bool>("termina");
        QTest::addColumn<QString>("telefoneNoBanco");

        using B = QMessageBox::StandardButton;
        const QString relatorio = Verifique + Linha("Conselho") + "\n";
        QTest::newRow("all five filled: stored, the program ends")
            << true << false << QList<B>{} << QStringList{} << true << "3333-0000";
        QTest::newRow("all five filled, applying refused: notice, the record back in editing")
            << true << true << QList<B>{} << QStringList{FalhaAoSalvar} << false << "";
        QTest::newRow("a field empty, Yes: report, the window stays")
            << false << false << QList<B>{QMessageBox::Yes} << QStringList{Pergunta1, relatorio}
            << false << "1111-2222";
        QTest::newRow("a field empty, No then Yes: the program ends, nothing stored")
            << false << false << QList<B>{QMessageBox::No, QMessageBox::Yes}
            << QStringList{Pergunta1, Pergunta2("77")} << true << "1111-2222";
        QTest::newRow("a field empty, No then No: report, the window stays")
            << false << false << QList<B>{QMessageBox::No, QMessageBox::No}
            << QStringList{Pergunta1, Pergunta2("77"), relatorio} << false << "1111-2222";
    }

    void exitOutcomes() {
        QFETCH(bool, completo);
        QFETCH(bool, apagadoPorOutro);
        QFETCH(QList<QMessageBox::StandardButton>, respostas);
        QFETCH(QStringList, mensagens);
        QFETCH(bool, termina);
        QFETCH(QString, telefoneNoBanco);
        // A record stored by another program may already lack a mandatory field.
        Insere(r_->ambiente, "77", "Pediatria", "Ana Lima", completo ? "CRM" : "", "SP",
               "1111-2222");
        r_->abre();
        escreve("TELEFONES", "3333-0000");
        if (apagadoPorOutro) {
            r_->ambiente.executa("delete from MEDICOS where CRM = '77'", {});
        }
        RespondeAvisos avisos(respostas);
        QTest::mouseClick(r_->registro().BotSairMedicos, Qt::LeftButton);
        QCOMPARE(avisos.textos, mensagens);
        QCOMPARE(avisos.respostasPendentes(), qsizetype{0});
        for (qsizetype i = 0; i < avisos.textos.size(); ++i) {
            const bool pergunta = avisos.textos[i] != FalhaAoSalvar;
            QCOMPARE(avisos.titulos[i],
                     pergunta ? Titulo : Texto("Cadastro de Profissionais de Saúde"));
            QCOMPARE(avisos.icones[i], pergunta ? QMessageBox::Warning : QMessageBox::NoIcon);
            if (avisos.textos[i] == Pergunta1 || avisos.textos[i].startsWith("As ")) {
                QCOMPARE(avisos.padroes[i], QMessageBox::No);
            }
        }
        QCOMPARE(!r_->janela().isVisible(), termina);
        QCOMPARE(!r_->medicos().active(), termina);
        if (!termina) {
            QCOMPARE(r_->medicos().state(), RecordSetState::Editing);
            QCOMPARE(r_->campo("TELEFONES"), QStringLiteral("3333-0000"));
        }
        const auto linhas = LeDoBanco(r_->ambiente, "77");
        QCOMPARE(linhas.empty(), telefoneNoBanco.isEmpty());
        if (!linhas.empty()) {
            QCOMPARE(QString::fromStdString(linhas[0].at("TELEFONES")), telefoneNoBanco);
        }
    }

    void exitOnAnEmptySetAsksAboutTheNewRecordAndStoresNothing() {
        r_->abre();
        RespondeAvisos avisos({QMessageBox::No, QMessageBox::Yes});
        QTest::mouseClick(r_->registro().BotSairMedicos, Qt::LeftButton);
        QCOMPARE(avisos.textos, (QStringList{Pergunta1, Pergunta2("")}));
        QVERIFY(!r_->janela().isVisible());
        QCOMPARE(ContaNoBanco(r_->ambiente), std::size_t{0});
    }

    void anApplyRefusalIsReportedOnceAndTheRowComesBackToBeCorrectedOrCancelled() {
        Insere(r_->ambiente, "1", "Pediatria", "Ana Lima", "CRM", "SP", "1111");
        Insere(r_->ambiente, "2", "Pediatria", "Bruno Reis", "CRM", "SP", "2222");
        r_->abre();
        RespondeAvisos avisos;
        r_->medicos().first();
        escreve("TELEFONES", "9999");
        // Another program deletes the professional meanwhile.
        r_->ambiente.executa("delete from MEDICOS where CRM = '1'", {});
        r_->navegador("Grava");
        QCOMPARE(avisos.textos, QStringList{FalhaAoSalvar});
        QCOMPARE(avisos.semIcone, QList<bool>{true});
        QCOMPARE(r_->medicos().lastApplyErrors(),
                 std::vector<std::string>{"Record not found or changed by another user"});
        // Nothing typed is lost: the row is back in editing with the edit, no longer pending.
        QCOMPARE(r_->medicos().state(), RecordSetState::Editing);
        QCOMPARE(r_->medicos().pendingChangeCount(), std::size_t{0});
        QCOMPARE(r_->campo("TELEFONES"), QStringLiteral("9999"));
        QVERIFY(LeDoBanco(r_->ambiente, "1").empty());

        // Cancelling drops the edit; a later change of another professional reaches the
        // database without the notice coming back.
        r_->navegador("Cancela");
        QCOMPARE(r_->medicos().state(), RecordSetState::Browsing);
        QCOMPARE(r_->campo("TELEFONES"), QStringLiteral("1111"));
        r_->navegador("Proximo");
        escreve("TELEFONES", "8888");
        r_->navegador("Grava");
        QCOMPARE(avisos.textos, QStringList{FalhaAoSalvar});
        QCOMPARE(LeDoBanco(r_->ambiente, "2").at(0).at("TELEFONES"), "8888");
        QCOMPARE(r_->medicos().pendingChangeCount(), std::size_t{0});
    }

    void aDuplicateRegistrationAndSpecialtyIsRefusedAtStoreTimeAndStaysInEditing() {
        Insere(r_->ambiente, "10", "Pediatria", "Ana Lima");
        Insere(r_->ambiente, "20", "Pediatria", "Bruno Reis");
        r_->abre();
        const QString repetido =
            Texto("Já existe um profissional com o Nº Registro \"10\" e a especialidade "
                  "\"Pediatria\".\nAltere o Nº Registro ou a especialidade, ou cancele a "
                  "alteração.");
        RespondeAvisos avisos;
        // A new professional with the key of one in the list.
        r_->navegador("Inclui");
        for (auto [coluna, valor] : {std::pair{"CRM", "10"},
                                     {"CONSELHOPROFISSIONAL", "CRM"},
                                     {"UFCONSELHO", "SP"},
                                     {"ESPECIALIDADE", "Pediatria"},
                                     {"NOME", "Carla Souza"}}) {
            escreve(coluna, valor);
        }
        r_->navegador("Grava");
        QCOMPARE(avisos.textos, QStringList{repetido});
        QCOMPARE(avisos.titulos, QStringList{Titulo});
        QCOMPARE(r_->medicos().state(), RecordSetState::Inserting);
        QCOMPARE(r_->medicos().rowCount(), std::size_t{3});
        QCOMPARE(ContaNoBanco(r_->ambiente), std::size_t{2});

        // Corrected, it is stored with no other message.
        escreve("ESPECIALIDADE", "Cardiologia");
        r_->navegador("Grava");
        QCOMPARE(avisos.textos.size(), 1);
        QCOMPARE(ContaNoBanco(r_->ambiente), std::size_t{3});

        // An existing professional moved onto another's key, and one stored by another station
        // after this list was read, are refused alike.
        QVERIFY(r_->medicos().findKey({"Bruno Reis", "20"}));
        escreve("CRM", "10");
        r_->navegador("Grava");
        QCOMPARE(avisos.textos.size(), 2);
        QCOMPARE(avisos.textos.last(), repetido);
        QCOMPARE(r_->medicos().state(), RecordSetState::Editing);
        r_->navegador("Cancela");
        Insere(r_->ambiente, "30", "Pediatria", "Davi Melo");
        escreve("CRM", "30");
        r_->navegador("Grava");
        QCOMPARE(avisos.textos.size(), 3);
        QVERIFY(avisos.textos.last().contains(QStringLiteral("\"30\"")));
        QCOMPARE(r_->medicos().state(), RecordSetState::Editing);
        QCOMPARE(LeDoBanco(r_->ambiente, "20").size(), std::size_t{1});
    }

    void aChangedRegistrationNumberIsWrittenOverTheOldKey() {
        Insere(r_->ambiente, "10", "Pediatria", "Ana Lima");
        Insere(r_->ambiente, "10", "Cardiologia", "Ana Lima");
        r_->abre();
        RespondeAvisos avisos;
        QVERIFY(r_->medicos().findKey({"Ana Lima", "10"}));
        const QString especialidade = r_->campo("ESPECIALIDADE");
        escreve("CRM", "11");
        r_->navegador("Grava");
        QCOMPARE(avisos.textos, QStringList{});
        QCOMPARE(LeDoBanco(r_->ambiente, "11").size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(LeDoBanco(r_->ambiente, "11")[0].at("ESPECIALIDADE")),
                 especialidade);
        QCOMPARE(LeDoBanco(r_->ambiente, "10").size(), std::size_t{1});
    }

    void theNavigatorDeletesOnlyAfterTheQuestion() {
        Insere(r_->ambiente, "10", "Pediatria", "Ana Lima");
        Insere(r_->ambiente, "10", "Cardiologia", "Ana Lima");
        r_->abre();
        {
            RespondeAvisos avisos(QMessageBox::Cancel);
            r_->navegador("Exclui");
            QCOMPARE(avisos.textos, QStringList{"Delete record?"});
            QCOMPARE(avisos.titulos, QStringList{"Confirm"});
            QCOMPARE(avisos.padroes, QList<QMessageBox::StandardButton>{QMessageBox::Cancel});
        }
        QCOMPARE(ContaNoBanco(r_->ambiente), std::size_t{2});
        RespondeAvisos avisos(QMessageBox::Ok);
        r_->navegador("Exclui");
        QCOMPARE(LeDoBanco(r_->ambiente, "10").size(), std::size_t{1});
        QCOMPARE(r_->medicos().rowCount(), std::size_t{1});
    }
};

QTEST_MAIN(RegrasTest)
#include "regras_test.moc"
