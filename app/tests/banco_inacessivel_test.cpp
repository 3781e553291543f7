// The program with FaultTrap linked and its data embedded, as olvendra-medicos is built: a
// database that cannot be reached when the window is first activated gives one FaultTrap report
// in the log, and the window stays up without its panels until the user closes it.

#include "ambiente_de_teste.h"
#include "app/form_medicos.h"
#include "app/painel_login.h"
#include "app/painel_medicos.h"
#include "app/programa.h"
#include "config/erro_inesperado.h"
#include "crashreport/intercept/activation.h"
#include "crashreport/intercept/dispatcher.h"
#include "crashreport/qt/fault_application.h"
#include "crashreport/report/log_file.h"
#include "responde_avisos.h"

#include <QtTest>

#include <memory>

using olvendra::app::Programa;
using olvendra::app::testing::AmbienteDeTeste;
using olvendra::app::testing::RespondeAvisos;

namespace {

const QString TituloInicial =
    QString::fromUtf8(" QIR SISTEMAS  -  Cadastro de Profissionais de Saúde");

// The row of the report's call stack that names `procedimento`.
bool PilhaMostra(const std::string& relatorio, const std::string& procedimento) {
    return relatorio.find("|" + procedimento) != std::string::npos ||
           relatorio.find("::" + procedimento) != std::string::npos;
}

} // namespace

class RelatorioDeFalhaTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        // Switched on before main, as in the program.
        QVERIFY(faulttrap::IsActive());
        // As the program does: every unexpected error goes to FaultTrap as the GUI's own.
        olvendra::DefineTratadorDeErroInesperado(
            [](std::exception_ptr erro) { faulttrap::ExceptionManager(erro, 0, 1); });
    }

    void cleanupTestCase() { olvendra::DefineTratadorDeErroInesperado({}); }

    void umBancoInalcancavelDaUmRelatorioEAJanelaSoFecha_data() {
        QTest::addColumn<QString>("servidor");
        QTest::addColumn<bool>("apagaOBanco");
        QTest::addColumn<QString>("naMensagem");
        // Nothing answers on port 1 of the loopback address.
        QTest::newRow("servidor que nao responde")
            << QStringLiteral("127.0.0.1/1") << false << QStringLiteral("127.0.0.1");
        QTest::newRow("arquivo do banco ausente")
            << QString() << true << QStringLiteral("olvendra.bd");
    }

    void umBancoInalcancavelDaUmRelatorioEAJanelaSoFecha() {
        QFETCH(QString, servidor);
        QFETCH(bool, apagaOBanco);
        QFETCH(QString, naMensagem);
        AmbienteDeTeste ambiente;
        ambiente.acrescentaIni("IP DO SERVIDOR CENTRAL", servidor.toStdString());
        if (apagaOBanco) {
            std::filesystem::remove(ambiente.raiz() / "dados" / "olvendra.bd");
        }
        const auto log = ambiente.raiz() / "medicos.ftlog";
        auto& opcoes = faulttrap::MainModuleOptions();
        opcoes.SetLogFolder(log.string());
        opcoes.SetExceptionDialogType(faulttrap::TFaultDialogType::MessageBox);

        RespondeAvisos avisos;
        Programa programa;
        QVERIFY(programa.inicia(ambiente.programa(), ambiente.raiz()));
        auto& janela = programa.janela();
        janela.show();
        janela.activateWindow();
        QTRY_VERIFY_WITH_TIMEOUT(std::filesystem::exists(log), 20000);

        // The message box of the report, answered by the user.
        QTRY_COMPARE(avisos.textos.size(), 1);
        faulttrap::TLogFile arquivo(log, faulttrap::LogFileAccess::ReadOnly);
        QCOMPARE(arquivo.Count(), 1);
        QCOMPARE(arquivo.ReadItem(0, "2.5").value_or(""),
                 std::string("olvendra::data::DatabaseError"));
        const std::string mensagem = arquivo.ReadItem(0, "2.6").value_or("");
        QVERIFY2(QString::fromStdString(mensagem).contains(naMensagem), mensagem.c_str());
        QVERIFY2(avisos.textos.first().contains(QString::fromStdString(mensagem.substr(0, 20))),
                 qPrintable(avisos.textos.first()));
        const std::string& relatorio = arquivo.Report(0);
        QVERIFY(relatorio.find("[Main]") != std::string::npos);
        QVERIFY2(PilhaMostra(relatorio, "FormActivate"), relatorio.c_str());

        // The rest of the activation did not run: no panel, the caption of the start, and the
        // window can only be closed, which still deletes the marker.
        QVERIFY(janela.isVisible());
        QVERIFY(!janela.painelMedicos()->isVisible());
        QVERIFY(!janela.painelLogin()->isVisible());
        QCOMPARE(janela.windowTitle(), TituloInicial);
        QVERIFY(janela.close());
        QVERIFY(!std::filesystem::exists(ambiente.marcador()));
        QCOMPARE(avisos.textos.size(), 1);
    }
};

int main(int argc, char** argv) {
    faulttrap::TFaultApplication aplicacao(argc, argv);
    RelatorioDeFalhaTest teste;
    return QTest::qExec(&teste, argc, argv);
}

#include "banco_inacessivel_test.moc"
