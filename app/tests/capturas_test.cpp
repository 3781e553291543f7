// Saves pictures of the window before and after login, for people to look at the real geometry
// and colours: locked.png (the login panel over the locked record panel) and unlocked.png.

#include "ambiente_de_teste.h"
#include "app/form_medicos.h"
#include "app/painel_login.h"
#include "app/programa.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QtTest>

using olvendra::app::Programa;
using olvendra::app::testing::AmbienteDeTeste;

class CapturasTest : public QObject {
    Q_OBJECT

private:
    static QString destino(const char* nome) {
        const QString pasta = qEnvironmentVariable("OLVENDRA_SCREENSHOT_DIR", "screenshots");
        QDir().mkpath(pasta);
        return pasta + "/" + nome;
    }

    static void salva(QWidget& janela, const char* nome) {
        QTest::qWait(50);
        const QImage imagem = janela.grab().toImage();
        QCOMPARE(imagem.size(), janela.size());
        QVERIFY(imagem.save(destino(nome), "PNG"));
        QVERIFY(QFileInfo(destino(nome)).size() > 0);
    }

private slots:
    void lockedAndUnlockedWindow() {
        AmbienteDeTeste ambiente;
        ambiente.usuario("MARIA", "1234", AmbienteDeTeste::AcessoPara('M'));
        ambiente.estacao("01", "MARIA", "/opt/olvendra/dados/maria.bd");
        ambiente.executa("insert into ESPECIALIDADES (CODIGO_ESPEC, ESPECIALIDADE) values (?, ?)",
                         {"1", olvendra::Utf8ParaWin1252("Cardiologia")});
        ambiente.executa(
            "insert into MEDICOS (CRM, ESPECIALIDADE, NOME, TELEFONES, ENDERECO, COMPLEMENTO, "
            "CIDADE, ESTADO, CEP, DATAANIVERSARIO, COMISSPERC, COMISSAO, E_MAIL, ATENDENTE, "
            "CONSELHOPROFISSIONAL, UFCONSELHO) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
            "?, ?)",
            {"52123", "Cardiologia", olvendra::Utf8ParaWin1252("Ana Araújo Costa"),
             "(11) 3333-4444", olvendra::Utf8ParaWin1252("Rua São João, 100"), "Centro",
             olvendra::Utf8ParaWin1252("São Paulo"), "SP", "01035-000", "12/05", "10", "5",
             "ana.costa@example.com", "MARIA", "CRM", "SP"});

        Programa programa;
        QVERIFY(programa.inicia(ambiente.programa(), ambiente.raiz()));
        auto& janela = programa.janela();
        janela.show();
        janela.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&janela));
        salva(janela, "locked.png");

        auto& login = *janela.painelLogin();
        login.EditNome->selectAll();
        QTest::keyClicks(login.EditNome, "maria");
        QTest::keyClick(login.EditNome, Qt::Key_Return);
        QTest::keyClicks(login.EditSenhaU, "1234");
        QTest::keyClick(login.EditSenhaU, Qt::Key_Return);
        QVERIFY(!login.isVisible());
        salva(janela, "unlocked.png");
    }
};

QTEST_MAIN(CapturasTest)
#include "capturas_test.moc"
