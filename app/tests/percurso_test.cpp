// A whole session from the keyboard: log in, type a new professional field by field with Enter,
// store it with the navigator, find it by name, change its telephone and leave with Esc. Every
// value is then read from the database through a connection of its own.

#include "app/painel_pesquisa.h"
#include "app/painel_relacao.h"
#include "registro_aberto.h"
#include "responde_avisos.h"

#include <QComboBox>
#include <QLineEdit>

using namespace olvendra::app::testing;

class PercursoTest : public QObject {
    Q_OBJECT

private slots:
    void aSessionTypedWithTheKeyboardReachesTheDatabase() {
        RegistroAberto r(true);
        Insere(r.ambiente, "5", "Pediatria", "Bruno Reis");
        r.abre();
        RespondeAvisos avisos;

        Tecla(Qt::Key_N, Qt::ControlModifier);
        QVERIFY(TemFoco(r.registro().DBEditCRM));
        const QList<std::pair<const char*, QString>> campos = {
            {"DBEditCRM", "52123"},
            {"DBComboBox1", "crm"},
            {"DBComboBox2", "sp"},
            {"DBEditMedico", "joao carlos de oliveira souza"},
            {"DBLookupComboBox1", ""}, // Down picks the first specialty
            {"DBEditMedFone", "(11) 3333-4444"},
            {"DBEditMedEnd", Texto("Rua São João, 100")},
            {"DBEditMedCompl", "Centro"},
            {"DBEditMedCid", Texto("São Paulo")},
            {"DBEditMedEst", "SP"},
            {"DBEdit11", "Atende aos sábados"},
            {"DBEditMedCEP", "01035-000"},
            {"DBEditDataAniv", "1205"},
            {"DBEditComissPerc", "10"},
            {"DBEdit4", "5"},
            {"DBEditEmail", "Joao.Souza@Example.com"},
            {"DBEdit1", "Paula"},
            {"DBEdit2", "0311"},
            {"DBEdit3", "Carlos"},
        };
        for (const auto& [nome, texto] : campos) {
            QVERIFY2(TemFoco(r.controle(nome)), nome);
            if (QString::fromLatin1(nome) == "DBLookupComboBox1") {
                Tecla(Qt::Key_Down);
            } else {
                Digita(texto);
            }
            Tecla(Qt::Key_Return);
        }
        QVERIFY(TemFoco(r.controle("DBComboBox1")));
        Tecla(Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(avisos.textos, QStringList{});

        // Find it by name and change its telephone.
        Atalho(r.janela(), Qt::Key_P);
        Digita("joao carlos");
        Tecla(Qt::Key_Return);
        QVERIFY(r.janela().painelRelacao()->isVisible());
        Tecla(Qt::Key_Return);
        QVERIFY(!r.janela().painelRelacao()->isVisible());
        QCOMPARE(r.campo("CRM"), QStringLiteral("52123"));
        QVERIFY(TemFoco(r.controle("DBComboBox1")));
        for (int campo = 0; campo < 4; ++campo) {
            Tecla(Qt::Key_Return);
        }
        QVERIFY(TemFoco(r.controle("DBEditMedFone")));
        Digita("(11) 5555-6666");
        Tecla(Qt::Key_Escape);
        QCOMPARE(avisos.textos, QStringList{});
        QVERIFY(!r.janela().isVisible());

        const auto linhas = LeDoBanco(r.ambiente, "52123");
        QCOMPARE(linhas.size(), std::size_t{1});
        const std::map<std::string, std::string> esperado = {
            {"CRM", "52123"},
            {"ESPECIALIDADE", "Cardiologia"},
            {"NOME", "Joao Carlos O. Souza"},
            {"ENDERECO", "Rua São João, 100"},
            {"COMPLEMENTO", "Centro"},
            {"CEP", "01035-000"},
            {"CIDADE", "São Paulo"},
            {"ESTADO", "SP"},
            {"TELEFONES", "(11) 5555-6666"},
            {"QDEFORMULAS", "null"},
            {"VALORTOTAL", "null"},
            {"COMISSPERC", "10"},
            {"COMISSAO", "5"},
            {"DATAANIVERSARIO", "12/05"},
            {"OBSERVACAO", "Atende aos sábados"},
            {"E_MAIL", "joao.souza@example.com"},
            {"NOME_SECRETARIA", "Paula"},
            {"ANIV_SECRETARIA", "03/11"},
            {"ATENDENTE", "MARIA"},
            {"REPRESENTANTE", "Carlos"},
            {"CONSELHOPROFISSIONAL", "CRM"},
            {"UFCONSELHO", "SP"},
        };
        QCOMPARE(linhas[0], esperado);
        QCOMPARE(ContaNoBanco(r.ambiente), std::size_t{2});
    }
};

QTEST_MAIN(PercursoTest)
#include "percurso_test.moc"
