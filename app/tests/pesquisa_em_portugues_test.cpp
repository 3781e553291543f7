// The search and the lists in Portuguese through the real window, by the keyboard: names that
// differ only in accents or letter case are found by any spelling, read in dictionary order, and
// choosing or cancelling still lands on the professional spelt exactly as chosen.

#include "app/grade_dados.h"
#include "app/painel_pesquisa.h"
#include "app/painel_relacao.h"
#include "registro_aberto.h"

#include <QLineEdit>
#include <QPushButton>

using namespace olvendra::app::testing;

class PesquisaEmPortuguesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<RegistroAberto> r_;

    olvendra::app::PainelRelacao& relacao() { return *r_->janela().painelRelacao(); }

    QStringList nomesDaLista() {
        QStringList nomes;
        auto* modelo = relacao().GradePesqMed->model();
        for (int linha = 0; linha < modelo->rowCount(); ++linha) {
            nomes << modelo->index(linha, 0).data().toString();
        }
        return nomes;
    }
    QStringList todosOsNomes() {
        QStringList nomes;
        for (std::size_t linha = 0; linha < r_->medicos().rowCount(); ++linha) {
            nomes << QString::fromStdString(
                olvendra::Win1252ParaUtf8(r_->medicos().textAt(linha, 2)));
        }
        return nomes;
    }
    void pesquisa(const char* digitado) {
        Atalho(r_->janela(), Qt::Key_P);
        QVERIFY(TemFoco(r_->janela().painelPesquisa()->EditPesqMed));
        Digita(Texto(digitado));
        Tecla(Qt::Key_Return);
        QVERIFY(relacao().isVisible());
    }

private slots:
    void init() {
        r_ = std::make_unique<RegistroAberto>();
        Insere(r_->ambiente, "100", "Pediatria", "Simone Costa");
        Insere(r_->ambiente, "101", "Pediatria", "Sérgio Dias");
        Insere(r_->ambiente, "102", "Pediatria", "Álvaro Lima");
        Insere(r_->ambiente, "400", "Pediatria", "João Silva");
        Insere(r_->ambiente, "400", "Cardiologia", "Joao Silva");
        Insere(r_->ambiente, "401", "Pediatria", "JOÃO SILVA");
        Insere(r_->ambiente, "103", "Pediatria", "Tiago Rocha");
        Insere(r_->ambiente, "104", "Pediatria", "Tânia Melo");
        r_->abre();
    }
    void cleanup() { r_.reset(); }

    void theFullListIsInDictionaryOrder() {
        const QStringList nomes = todosOsNomes();
        QCOMPARE(nomes.first(), Texto("Álvaro Lima"));
        QVERIFY(nomes.indexOf(Texto("Sérgio Dias")) < nomes.indexOf("Simone Costa"));
        QVERIFY(nomes.indexOf(Texto("Tânia Melo")) < nomes.indexOf("Tiago Rocha"));
        QCOMPARE(nomes.last(), QStringLiteral("Tiago Rocha"));
    }

    void everySpellingFindsTheSameProfessionals() {
        for (const char* digitado : {"joao silva", "JOAO", "joão", "Joao S"}) {
            pesquisa(digitado);
            QStringList achados = nomesDaLista();
            achados.sort();
            QCOMPARE(achados, (QStringList{"JOÃO SILVA", "Joao Silva", "João Silva"}));
            // Equal names go by the number.
            QCOMPARE(nomesDaLista().last(), Texto("JOÃO SILVA"));
            Tecla(Qt::Key_Escape);
            QVERIFY(!relacao().isVisible());
        }
    }

    void choosingLandsOnTheSpellingChosen() {
        // The first two share the number 400: the name alone tells them apart.
        for (int linha : {1, 0, 2}) {
            pesquisa(linha == 1 ? "joao" : "JOÃO");
            QCOMPARE(r_->medicos().position(), std::size_t{0});
            for (int passo = 0; passo < linha; ++passo) {
                Tecla(Qt::Key_Down);
            }
            const QString escolhido = r_->campo("NOME");
            const QString especialidade = r_->campo("ESPECIALIDADE");
            Tecla(Qt::Key_Return);
            QVERIFY(!relacao().isVisible());
            QCOMPARE(r_->medicos().rowCount(), std::size_t{8});
            QCOMPARE(r_->campo("NOME"), escolhido);
            QCOMPARE(r_->campo("ESPECIALIDADE"), especialidade);
        }
    }

    void cancellingReturnsToTheSpellingCurrentBefore() {
        QVERIFY(r_->medicos().findKey({olvendra::Utf8ParaWin1252("Joao Silva"), "400"}));
        pesquisa("silva");
        Tecla(Qt::Key_Escape);
        QVERIFY(!relacao().isVisible());
        QCOMPARE(r_->campo("NOME"), QStringLiteral("Joao Silva"));
        QCOMPARE(r_->campo("ESPECIALIDADE"), QStringLiteral("Cardiologia"));
    }
};

QTEST_MAIN(PesquisaEmPortuguesTest)
#include "pesquisa_em_portugues_test.moc"
