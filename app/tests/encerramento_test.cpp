// SIGTERM and SIGINT end the program as the window's close box does, after the database client
// has attached (it installs handlers of its own for both signals).

#include "registro_aberto.h"

#include <QMessageBox>
#include <QTimer>

#include <csignal>
#include <unistd.h>

using namespace olvendra::app::testing;

class EncerramentoTest : public QObject {
    Q_OBJECT

    std::unique_ptr<RegistroAberto> r_;

private slots:
    void cleanup() { r_.reset(); }

    void sigtermClosesTheWindowAndDeletesTheMarker() {
        r_ = std::make_unique<RegistroAberto>();
        Insere(r_->ambiente, "1111", "Cardiologia", "Ana Lima");
        r_->abre();
        QVERIFY(std::filesystem::exists(r_->ambiente.marcador()));
        QElapsedTimer relogio;
        relogio.start();
        kill(getpid(), SIGTERM);
        QTRY_VERIFY_WITH_TIMEOUT(!r_->janela().isVisible(), 5000);
        QVERIFY(relogio.elapsed() < 5000);
        QVERIFY(!std::filesystem::exists(r_->ambiente.marcador()));
        QCOMPARE(ContaNoBanco(r_->ambiente), std::size_t{1});
    }

    void sigintBeforeTheLoginClosesTheWindowToo() {
        r_ = std::make_unique<RegistroAberto>();
        r_->programa = std::make_unique<olvendra::app::Programa>();
        QVERIFY(r_->programa->inicia(r_->ambiente.programa(), r_->ambiente.raiz()));
        r_->janela().show();
        r_->janela().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&r_->janela()));
        kill(getpid(), SIGINT);
        QTRY_VERIFY_WITH_TIMEOUT(!r_->janela().isVisible(), 5000);
        QVERIFY(!std::filesystem::exists(r_->ambiente.marcador()));
    }

    void aSignalWhileAQuestionIsOpenStillEndsTheProgramStoringNothing() {
        r_ = std::make_unique<RegistroAberto>();
        r_->abre();
        // An empty registry: "&Sair" creates an empty record and asks question 1.
        bool perguntou = false;
        QTimer::singleShot(200, [&] {
            perguntou = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr;
            kill(getpid(), SIGTERM);
        });
        Atalho(r_->janela(), Qt::Key_S);
        QTRY_VERIFY_WITH_TIMEOUT(!r_->janela().isVisible(), 5000);
        QVERIFY(perguntou);
        QVERIFY(!std::filesystem::exists(r_->ambiente.marcador()));
        QCOMPARE(ContaNoBanco(r_->ambiente), std::size_t{0});
    }
};

QTEST_MAIN(EncerramentoTest)
#include "encerramento_test.moc"
