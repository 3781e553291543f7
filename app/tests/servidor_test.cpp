// The registry on a central Firebird server on 127.0.0.1 that this test starts, kills and starts
// again on the same port: a dropped connection is recovered without losing the clerk's change,
// and a row another station holds makes the store wait a bounded time.

#include "app/painel_pesquisa.h"
#include "registro_aberto.h"
#include "responde_avisos.h"

#include <QLineEdit>
#include <QProcess>

#include "errors.h"

#include <csignal>
#include <fstream>

using namespace olvendra::app::testing;
using olvendra::data::RecordSetState;

namespace {

const std::string Script = OLVENDRA_SOURCE_DIR "/scripts/firebird-test-server.sh";

// A private Firebird server, started with the project's test script.
class Servidor {
public:
    explicit Servidor(std::filesystem::path raiz) : raiz_(std::move(raiz)) {}
    ~Servidor() { executa({QStringLiteral("stop"), QString::fromStdString(raiz_.string())}); }

    bool inicia(const std::string& porta = {}) {
        QStringList argumentos = {QStringLiteral("start"), QString::fromStdString(raiz_.string())};
        if (!porta.empty()) {
            argumentos << QString::fromStdString(porta);
        }
        if (!executa(argumentos)) {
            return false;
        }
        std::ifstream(raiz_ / "port") >> porta_;
        return true;
    }
    void mata() { ::kill(pid(), SIGKILL); }
    void pausa() { ::kill(pid(), SIGSTOP); }
    void continua() { ::kill(pid(), SIGCONT); }
    const std::string& porta() const { return porta_; }
    std::string endereco() const { return "127.0.0.1/" + porta_; }

private:
    pid_t pid() const {
        pid_t numero = 0;
        std::ifstream(raiz_ / "server.pid") >> numero;
        return numero;
    }
    static bool executa(const QStringList& argumentos) {
        QProcess processo;
        processo.start(QString::fromStdString(Script), argumentos);
        return processo.waitForFinished(30000) && processo.exitCode() == 0;
    }

    std::filesystem::path raiz_;
    std::string porta_;
};

} // namespace

class ServidorTest : public QObject {
    Q_OBJECT

    std::unique_ptr<RegistroAberto> r_;
    std::unique_ptr<Servidor> servidor_;

    // The suite's database, reached through the server as every station reaches it.
    olvendra::data::ConnectionSettings pelaRede() const {
        olvendra::data::ConnectionSettings banco = r_->ambiente.banco();
        banco.database = servidor_->endereco() + ":" + banco.database;
        return banco;
    }
    std::string coluna(const char* nome, const std::string& crm) {
        struct Coleta : olvendra::data::RowSink {
            std::string valor = "missing";
            void columns(const std::vector<olvendra::data::Column>&) override {}
            void row(const std::string_view* valores, const bool* nulos) override {
                valor = nulos[0] ? "null" : std::string(valores[0]);
            }
        } coleta;
        olvendra::data::Connection conexao(pelaRede());
        conexao.select(std::string("select ") + nome + " from MEDICOS where CRM = ?", {crm},
                       coleta);
        return coleta.valor;
    }
    // A window-wide key, pressed wherever the focus rests once the window is active again.
    void teclaNaJanela(Qt::Key tecla, Qt::KeyboardModifiers modificadores = Qt::NoModifier) {
        QVERIFY(QTest::qWaitForWindowActive(&r_->janela()));
        QWidget* alvo = QApplication::focusWidget();
        QTest::keyClick(alvo != nullptr ? alvo : &r_->janela(), tecla, modificadores);
    }
    void digitaTelefone(const QString& telefone) {
        r_->foca("DBEditMedFone");
        r_->controle<QLineEdit>("DBEditMedFone")->selectAll();
        Digita(telefone);
    }

private slots:
    void init() {
        r_ = std::make_unique<RegistroAberto>();
        Insere(r_->ambiente, "1111", "Cardiologia", "Ana Lima", "CRM", "SP", "3333-0000");
        servidor_ = std::make_unique<Servidor>(r_->ambiente.raiz() / "servidor");
        QVERIFY(servidor_->inicia());
        r_->ambiente.acrescentaIni("IP DO SERVIDOR CENTRAL", servidor_->endereco());
        r_->abre();
        QCOMPARE(r_->campo("CRM"), QStringLiteral("1111"));
    }
    void cleanup() {
        r_.reset();
        servidor_.reset();
    }

    void aChangeStoredWhileTheServerIsDownReachesItOnceItIsBack() {
        digitaTelefone(QStringLiteral("4444-1111"));
        servidor_->mata();
        {
            RespondeAvisos avisos;
            teclaNaJanela(Qt::Key_Return, Qt::ControlModifier);
            QTRY_COMPARE(avisos.textos.size(), 1);
            QVERIFY(avisos.textos[0].startsWith(QStringLiteral("Falha ao tentar salvar")));
        }
        QCOMPARE(r_->medicos().pendingChangeCount(), std::size_t{1});
        QCOMPARE(r_->campo("TELEFONES"), QStringLiteral("4444-1111"));

        // Searching and re-reading keep the change while the server is still down.
        QVERIFY(QTest::qWaitForWindowActive(&r_->janela()));
        {
            RespondeAvisos avisos;
            Atalho(r_->janela(), Qt::Key_P);
            QTRY_COMPARE(avisos.textos.size(), 1);
            QVERIFY(!r_->janela().painelPesquisa()->isVisible());
            teclaNaJanela(Qt::Key_F5);
            QTRY_COMPARE(avisos.textos.size(), 2);
        }
        QCOMPARE(r_->medicos().pendingChangeCount(), std::size_t{1});

        QVERIFY(servidor_->inicia(servidor_->porta()));
        {
            RespondeAvisos avisos;
            teclaNaJanela(Qt::Key_Return, Qt::ControlModifier);
            QTRY_COMPARE(r_->medicos().pendingChangeCount(), std::size_t{0});
            QVERIFY(avisos.textos.isEmpty());
        }
        QCOMPARE(coluna("TELEFONES", "1111"), std::string("4444-1111"));

        // The connection is a working one again: the next change goes straight out.
        digitaTelefone(QStringLiteral("5555-2222"));
        teclaNaJanela(Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(coluna("TELEFONES", "1111"), std::string("5555-2222"));
    }

    void exitWithAChangeTheServerNeverGotAsksBeforeLosingIt() {
        digitaTelefone(QStringLiteral("4444-1111"));
        servidor_->mata();
        RespondeAvisos avisos(QList<QMessageBox::StandardButton>{QMessageBox::Ok, QMessageBox::No});
        Atalho(r_->janela(), Qt::Key_S);
        QTRY_COMPARE(avisos.textos.size(), 2);
        QVERIFY(avisos.textos[1].contains(QStringLiteral("perder as alterações")));
        QVERIFY(r_->janela().isVisible());
        QCOMPARE(r_->medicos().pendingChangeCount(), std::size_t{1});

        QVERIFY(servidor_->inicia(servidor_->porta()));
        Atalho(r_->janela(), Qt::Key_S);
        QTRY_VERIFY(!r_->janela().isVisible());
        QCOMPARE(coluna("TELEFONES", "1111"), std::string("4444-1111"));
    }

    void aServerThatStopsAnsweringIsTakenForADroppedConnectionWithinTheBound() {
        olvendra::data::ConnectionSettings banco = pelaRede();
        banco.answerTimeoutSeconds = 2;
        olvendra::data::Connection conexao(banco);
        struct Conta : olvendra::data::RowSink {
            int linhas = 0;
            void columns(const std::vector<olvendra::data::Column>&) override {}
            void row(const std::string_view*, const bool*) override { ++linhas; }
        } antes, depois;
        conexao.select("select CRM from MEDICOS", {}, antes);
        QCOMPARE(antes.linhas, 1);
        servidor_->pausa();
        QElapsedTimer relogio;
        relogio.start();
        bool perdida = false;
        try {
            Conta durante;
            conexao.select("select CRM from MEDICOS", {}, durante);
        } catch (const olvendra::data::DatabaseError& erro) {
            perdida = erro.connectionLost();
        }
        const qint64 esperou = relogio.elapsed();
        servidor_->continua();
        QVERIFY(perdida);
        QVERIFY2(esperou < 6000, qPrintable(QString::number(esperou)));
        QVERIFY(!conexao.connected());
        // Answering again, the same connection attaches anew.
        conexao.select("select CRM from MEDICOS", {}, depois);
        QCOMPARE(depois.linhas, 1);
    }

    void aRowHeldByAnotherStationEndsTheWaitWithAMessageAndKeepsTheEdit() {
        olvendra::data::Connection outra(pelaRede());
        outra.startTransaction();
        outra.execute("update MEDICOS set NOME = 'Ana Lima Reis' where CRM = '1111'", {});
        digitaTelefone(QStringLiteral("4444-1111"));
        QElapsedTimer relogio;
        relogio.start();
        {
            RespondeAvisos avisos;
            teclaNaJanela(Qt::Key_Return, Qt::ControlModifier);
            QTRY_COMPARE_WITH_TIMEOUT(avisos.textos.size(), 1, 20000);
            QVERIFY2(avisos.textos[0].startsWith(QString::fromUtf8("Outra estação está alterando")),
                     r_->medicos().lastApplyErrors().empty()
                         ? "no refusal"
                         : r_->medicos().lastApplyErrors().front().c_str());
        }
        QVERIFY2(relogio.elapsed() < 15000, qPrintable(QString::number(relogio.elapsed())));
        QCOMPARE(r_->medicos().state(), RecordSetState::Editing);
        QCOMPARE(r_->campo("TELEFONES"), QStringLiteral("4444-1111"));

        // Once the other station is done, the same store goes through and keeps its column.
        outra.commit();
        teclaNaJanela(Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(r_->medicos().state(), RecordSetState::Browsing);
        QCOMPARE(coluna("TELEFONES", "1111"), std::string("4444-1111"));
        QCOMPARE(coluna("NOME", "1111"), std::string("Ana Lima Reis"));
    }
};

QTEST_MAIN(ServidorTest)
#include "servidor_test.moc"
