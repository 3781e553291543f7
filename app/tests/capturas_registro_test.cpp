// Pictures of the registry for people to look at: the filled record form (registro.png), the
// search result list (pesquisa.png) and the table view (tabela.png).

#include "app/painel_relacao.h"
#include "app/painel_tabela.h"
#include "registro_aberto.h"

#include <QDir>

using namespace olvendra::app::testing;

class CapturasRegistroTest : public QObject {
    Q_OBJECT

    static void salva(QWidget& janela, const char* nome) {
        QTest::qWait(100);
        const QString pasta = qEnvironmentVariable("OLVENDRA_SCREENSHOT_DIR", "screenshots");
        QDir().mkpath(pasta);
        const QImage imagem = janela.grab().toImage();
        QCOMPARE(imagem.size(), janela.size());
        QVERIFY(imagem.save(pasta + "/" + nome, "PNG"));
    }

private slots:
    void registryPictures() {
        RegistroAberto r(true);
        Insere(r.ambiente, "52123", "Cardiologia", "Ana Araújo Costa", "CRM", "SP",
               "(11) 3333-4444");
        Insere(r.ambiente, "41877", "Pediatria", "Bruno Reis", "CRM", "RJ", "(21) 2222-1111");
        Insere(r.ambiente, "9120", "Clínica Geral", "Carla Dias", "CRO", "MG", "(31) 3131-3131");
        Insere(r.ambiente, "7765", "Cardiologia", "Maria da Silva", "CRM", "SP", "(11) 9999-0000");
        r.ambiente.executa("update MEDICOS set ENDERECO = ?, COMPLEMENTO = 'Centro', CIDADE = ?, "
                           "ESTADO = 'SP', CEP = '01035-000', DATAANIVERSARIO = '12/05', "
                           "COMISSPERC = 10, COMISSAO = 5, E_MAIL = 'ana.costa@example.com', "
                           "NOME_SECRETARIA = 'Paula', ANIV_SECRETARIA = '03/11', "
                           "ATENDENTE = 'MARIA', REPRESENTANTE = 'Carlos', OBSERVACAO = ? "
                           "where CRM = '52123'",
                           {olvendra::Utf8ParaWin1252("Rua São João, 100"),
                            olvendra::Utf8ParaWin1252("São Paulo"),
                            olvendra::Utf8ParaWin1252("Atende às terças")});
        r.abre();
        QVERIFY(r.medicos().findKey({olvendra::Utf8ParaWin1252("Ana Araújo Costa")}));
        salva(r.janela(), "registro.png");

        Atalho(r.janela(), Qt::Key_P);
        Digita("maria");
        Tecla(Qt::Key_Return);
        QVERIFY(r.janela().painelRelacao()->isVisible());
        salva(r.janela(), "pesquisa.png");
        Tecla(Qt::Key_Escape);

        Atalho(r.janela(), Qt::Key_T);
        QVERIFY(r.janela().painelTabela()->isVisible());
        salva(r.janela(), "tabela.png");
    }
};

QTEST_MAIN(CapturasRegistroTest)
#include "capturas_registro_test.moc"
