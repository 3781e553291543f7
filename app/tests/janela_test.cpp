// The program's window driven through the keyboard over a real embedded database per test.

#include "ambiente_de_teste.h"
#include "app/form_medicos.h"
#include "app/navegador.h"
#include "app/painel.h"
#include "app/painel_login.h"
#include "app/painel_medicos.h"
#include "app/programa.h"
#include "config/erro_inesperado.h"
#include "login/nome_usuario_sistema.h"
#include "responde_avisos.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

#include <memory>

using olvendra::app::PainelMedicos;
using olvendra::app::Programa;
using olvendra::app::TFormMedicos;
using olvendra::app::testing::AmbienteDeTeste;
using olvendra::app::testing::RespondeAvisos;

namespace {

// The controls of the three enable-state sets, and those that no operation touches.
const QStringList CamposDoGrupoA = {
    "DBEditCRM",      "DBEditMedico",     "DBEditEspecial", "DBEditMedFone", "DBEditMedEnd",
    "DBEditMedCompl", "DBEditMedCid",     "DBEditMedEst",   "DBEdit11",      "DBEditMedCEP",
    "DBEditDataAniv", "DBEditComissPerc", "DBEditEmail",    "DBEdit1",       "DBEdit2"};
const QStringList BotoesDoGrupoA = {"BotSairMedicos", "BotTabelaMed", "BotPesqMed"};
const QStringList NuncaDesabilitados = {"DBComboBox1", "DBComboBox2", "DBLookupComboBox1",
                                        "DBEdit4", "DBEdit3"};

const QString TituloInicial =
    QString::fromUtf8(" QIR SISTEMAS  -  Cadastro de Profissionais de Saúde");

QWidget* Controle(const TFormMedicos& janela, const QString& nome) {
    return janela.findChild<QWidget*>(nome);
}

// Types into whatever has the keyboard focus, as the user would.
void Digita(const QString& texto) {
    QWidget* foco = QApplication::focusWidget();
    QVERIFY(foco != nullptr);
    if (texto.isEmpty()) {
        QTest::keyClick(foco, Qt::Key_Backspace);
    }
    for (const QChar letra : texto) {
        if (letra.unicode() < 0x80) {
            QTest::keyClick(foco, letra.toLatin1());
        } else {
            // Accented letters come from the keyboard layout as text without a key code.
            QTest::sendKeyEvent(QTest::Click, foco, Qt::Key_unknown, QString(letra),
                                Qt::NoModifier);
        }
    }
}

void Tecla(Qt::Key tecla) {
    QTest::keyClick(QApplication::focusWidget(), tecla);
}

bool TemFoco(QWidget* controle) {
    QWidget* foco = QApplication::focusWidget();
    return foco == controle || (foco != nullptr && controle->isAncestorOf(foco));
}

QString Texto(const char* utf8) {
    return QString::fromUtf8(utf8);
}

} // namespace

class JanelaTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<AmbienteDeTeste> ambiente_;
    std::unique_ptr<Programa> programa_;

    TFormMedicos& janela() { return programa_->janela(); }
    olvendra::app::PainelLogin& login() { return *janela().painelLogin(); }
    PainelMedicos& registro() { return *janela().painelMedicos(); }

    void abre() {
        programa_ = std::make_unique<Programa>();
        QVERIFY(programa_->inicia(ambiente_->programa(), ambiente_->raiz()));
        janela().show();
        janela().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&janela()));
    }

    // Name, Enter, password, Enter: the whole attempt from the keyboard.
    void tentaEntrar(const QString& nome, const QString& senha) {
        login().EditNome->setFocus();
        login().EditNome->selectAll();
        Digita(nome);
        Tecla(Qt::Key_Return);
        QVERIFY(TemFoco(login().EditSenhaU));
        Digita(senha);
        Tecla(Qt::Key_Return);
        // The closed message boxes hand the activation back to the window.
        if (janela().isVisible()) {
            QVERIFY(QTest::qWaitForWindowActive(&janela()));
        }
    }

    void comparaHabilitados(const QStringList& nomes, bool habilitado) {
        for (const QString& nome : nomes) {
            QWidget* controle = Controle(janela(), nome);
            QVERIFY2(controle != nullptr, qPrintable(nome));
            QVERIFY2(controle->isEnabled() == habilitado, qPrintable(nome));
        }
    }

private slots:
    void init() {
        ambiente_ = std::make_unique<AmbienteDeTeste>();
        ambiente_->usuario("MARIA", "1234", AmbienteDeTeste::AcessoPara('M'));
        ambiente_->estacao("A12", "maria", "/opt/olvendra/dados/maria.bd");
        ambiente_->usuario("PEDRO", "1111", "SSSSSSSS");
        ambiente_->usuario("LUIS", "123456", AmbienteDeTeste::AcessoPara('L'));
        ambiente_->usuario("JOAO", "4321", AmbienteDeTeste::AcessoPara('J'));
    }

    void cleanup() {
        programa_.reset();
        ambiente_.reset();
        olvendra::DefineTratadorDeErroInesperado({});
    }

    void activationShowsTheLockedWindowUnderTheLoginPanel() {
        abre();
        QCOMPARE(janela().windowTitle(), TituloInicial);
        // The outer size, frame included, as the suite's screens are sized.
        QCOMPARE(janela().frameGeometry().size(), QSize(806, 600));
        const QRect tela = janela().screen()->availableGeometry();
        // Centred to within the width of the frame, which the platform places.
        const QPoint desvio = janela().frameGeometry().center() - tela.center();
        QVERIFY(std::abs(desvio.x()) <= 4 && std::abs(desvio.y()) <= 4);
        QVERIFY(registro().isVisible());
        QCOMPARE(registro().geometry(), janela().rect());
        QCOMPARE(registro().palette().color(QPalette::Window), QColor(0xC0, 0xC0, 0xC0));
        QVERIFY(login().isVisible());
        QCOMPARE(login().geometry(), QRect(152, 109, 331, 130));
        QCOMPARE(registro().children().last(), &login());
        for (const char* nome : {"PainelPesqMed", "PainelPesqMedicos", "PainelTabelaMed"}) {
            auto* painel = Controle(janela(), nome);
            QVERIFY(painel != nullptr && !painel->isVisible());
            QCOMPARE(painel->palette().color(QPalette::Window),
                     janela().palette().color(QPalette::Button));
        }
        QCOMPARE(login().EditNome->text(),
                 QString::fromStdString(olvendra::login::NomeUsuarioSistema()));
        QCOMPARE(janela().sessao().UsuarioAtual, olvendra::login::NomeUsuarioSistema());
        QVERIFY(TemFoco(login().EditNome));
        QCOMPARE(login().EditNome->selectedText(), login().EditNome->text());
        QCOMPARE(janela().botaoCancelar(), login().BotCancSenha);
        QCOMPARE(login().EditSenhaU->echoMode(), QLineEdit::Password);
        QVERIFY(!janela().regras().SaindoDoCadastro);
        QVERIFY(janela().CamposMedicos.starts_with("CRM, ESPECIALIDADE, NOME,"));

        comparaHabilitados(CamposDoGrupoA, false);
        comparaHabilitados(BotoesDoGrupoA, false);
        comparaHabilitados({"DBNavigator7"}, false);
        comparaHabilitados(NuncaDesabilitados, true);
    }

    void theAsterisksStandBesideTheirControlsOverNothingElse() {
        abre();
        const std::pair<const char*, const char*> marcas[] = {{"Label14", "DBEditCRM"},
                                                              {"Label15", "DBComboBox1"},
                                                              {"Label16", "DBComboBox2"},
                                                              {"Label17", "DBEditMedico"},
                                                              {"Label18", "DBLookupComboBox1"}};
        const QList<QWidget*> vizinhos =
            registro().findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (const auto& [nome, marcado] : marcas) {
            auto* asterisco = qobject_cast<QLabel*>(Controle(janela(), nome));
            QWidget* controle = Controle(janela(), marcado);
            QVERIFY2(asterisco != nullptr && controle != nullptr, nome);
            const QRect caixa = asterisco->geometry();
            QVERIFY2(registro().rect().contains(caixa), nome);
            // On its control's row, just past its right edge.
            QVERIFY2(caixa.left() > controle->geometry().right() &&
                         caixa.left() - controle->geometry().right() <= 3,
                     nome);
            QVERIFY2(caixa.top() >= controle->y() &&
                         caixa.bottom() <= controle->geometry().bottom(),
                     nome);
            // The whole glyph is drawn inside its box.
            const QFontMetrics medidas(asterisco->font());
            const QRect tinta =
                medidas.boundingRect(QLatin1Char('*')).translated(0, medidas.ascent());
            QVERIFY2(asterisco->contentsRect().contains(tinta), nome);
            for (QWidget* vizinho : vizinhos) {
                // The inner panels are laid over the record panel on purpose.
                if (vizinho == asterisco || dynamic_cast<olvendra::app::Painel*>(vizinho)) {
                    continue;
                }
                QVERIFY2(!caixa.intersects(vizinho->geometry()),
                         qPrintable(QStringLiteral("%1 over %2").arg(nome, vizinho->objectName())));
            }
        }
        // The labels' texts fit their boxes, so that a box free of others is free of their texts.
        for (QWidget* vizinho : vizinhos) {
            if (auto* rotulo = qobject_cast<QLabel*>(vizinho); rotulo != nullptr) {
                const int largura = QFontMetrics(rotulo->font()).horizontalAdvance(rotulo->text());
                QVERIFY2(largura <= rotulo->contentsRect().width(),
                         qPrintable(rotulo->objectName()));
            }
        }
    }

    void aMissingConfigurationFileStopsBeforeTheDataModule() {
        std::filesystem::remove(ambiente_->programa() / "OLVENDRA.INI");
        RespondeAvisos avisos;
        Programa programa;
        QVERIFY(!programa.inicia(ambiente_->programa(), ambiente_->raiz()));
        QCOMPARE(avisos.textos, QStringList{Texto("Arquivo OLVENDRA.INI não encontrado. Execute "
                                                  "o programa ConvBase.exe para criá-lo.")});
        QVERIFY(!programa.janela().isVisible());
    }

    void theEnableOperationsSwitchExactlyTheirControls() {
        abre();
        registro().HabilitaBotoesCampos();
        comparaHabilitados(CamposDoGrupoA + BotoesDoGrupoA, true);
        comparaHabilitados({"DBNavigator7"}, false);
        registro().DesabilitaBotoesCampos();
        comparaHabilitados(CamposDoGrupoA + BotoesDoGrupoA, false);
        registro().DBNavigator7->setEnabled(true);
        registro().HabilitaBotoesCampos();
        registro().DesabilitaCampos();
        comparaHabilitados(CamposDoGrupoA + QStringList{"DBNavigator7"}, false);
        comparaHabilitados(BotoesDoGrupoA, true);
        comparaHabilitados(NuncaDesabilitados, true);
    }

    void loginFailures_data() {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("senha");
        QTest::addColumn<QString>("aviso");
        QTest::addColumn<QString>("foco");

        const QString naoAutorizado = Texto("Usuário %1 não autorizado");
        const QString senhaIncorreta = QStringLiteral("Senha incorreta. Tente novamente.");
        QTest::newRow("empty name")
            << ""
            << "1234" << Texto("Não foi informado o Nome do Usuário.") << "EditNome";
        QTest::newRow("unknown user") << "fulano"
                                      << "1234" << naoAutorizado.arg("FULANO") << "EditNome";
        QTest::newRow("accented letters keep their case")
            << Texto("joão") << "4321" << naoAutorizado.arg(Texto("JOãO")) << "EditNome";
        QTest::newRow("wrong password") << "maria"
                                        << "9999" << senhaIncorreta << "EditSenhaU";
        QTest::newRow("empty password for a user who has one")
            << "maria"
            << "" << senhaIncorreta << "EditSenhaU";
        QTest::newRow("access test fails") << "pedro"
                                           << "1111" << naoAutorizado.arg("PEDRO") << "EditNome";
        QTest::newRow("name of 16 characters")
            << "luisluisluisluis"
            << "123456" << naoAutorizado.arg("LUISLUISLUISLUIS") << "EditNome";
        QTest::newRow("name of 31 characters")
            << "luisluisluisluisluisluisluisluI"
            << "123456" << naoAutorizado.arg("LUISLUISLUISLUISLUISLUISLUISLUI") << "EditNome";
        QTest::newRow("password of 7 characters") << "luis"
                                                  << "1234567" << senhaIncorreta << "EditSenhaU";
        QTest::newRow("password of 31 characters")
            << "luis"
            << "1234561234561234561234561234561" << senhaIncorreta << "EditSenhaU";
    }

    void loginFailures() {
        QFETCH(QString, nome);
        QFETCH(QString, senha);
        QFETCH(QString, aviso);
        QFETCH(QString, foco);
        abre();
        RespondeAvisos avisos;
        tentaEntrar(nome, senha);
        QCOMPARE(avisos.textos, QStringList{aviso});
        QCOMPARE(avisos.titulos, QStringList{Texto("Cadastro de Profissionais de Saúde")});
        QCOMPARE(avisos.semIcone, QList<bool>{true});
        auto* campo = qobject_cast<QLineEdit*>(Controle(janela(), foco));
        QVERIFY(TemFoco(campo));
        QCOMPARE(campo->selectedText(), campo->text());
        QVERIFY(janela().isVisible());
        QVERIFY(login().isVisible());
        QCOMPARE(janela().windowTitle(), TituloInicial);
        comparaHabilitados(CamposDoGrupoA + BotoesDoGrupoA, false);
        if (foco == "EditSenhaU") {
            // The password stays for the user to correct.
            QCOMPARE(login().EditSenhaU->text(), senha);
        }
    }

    void attemptsAreUnlimitedAndReadTheUsersAfresh() {
        abre();
        RespondeAvisos avisos;
        tentaEntrar("novo", "1");
        tentaEntrar("novo", "1");
        ambiente_->usuario("NOVO", "1", AmbienteDeTeste::AcessoPara('N'));
        ambiente_->estacao("B1", "NOVO", "/b1");
        tentaEntrar("novo", "1");
        QCOMPARE(avisos.textos.size(), 2);
        QVERIFY(!login().isVisible());
        QCOMPARE(janela().sessao().EstacaoAtual, "B1");
    }

    void successfulLogin_data() {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("senha");
        QTest::addColumn<QString>("titulo");

        QTest::newRow("name typed in lower case, work-area user in lower case")
            << "maria"
            << "1234" << Texto("  CAD. DE MÉDICOS  -  Usuário: \"MARIA\"   Estação: A1");
        QTest::newRow("password letter case does not matter")
            << "Ana"
            << "aBc" << Texto("  CAD. DE MÉDICOS  -  Usuário: \"ANA\"   Estação: 07");
        QTest::newRow("apostrophe in the name")
            << "d'avila"
            << "x" << Texto("  CAD. DE MÉDICOS  -  Usuário: \"D'AVILA\"   Estação: 9");
    }

    void successfulLogin() {
        QFETCH(QString, nome);
        QFETCH(QString, senha);
        QFETCH(QString, titulo);
        ambiente_->usuario("ANA", "ABC", AmbienteDeTeste::AcessoPara('A'));
        ambiente_->estacao("07", "Ana", "/ana");
        ambiente_->usuario("D'AVILA", "X", AmbienteDeTeste::AcessoPara('D'));
        ambiente_->estacao("9", "d'Avila", "/davila");
        abre();
        RespondeAvisos avisos;
        tentaEntrar(nome, senha);
        QCOMPARE(avisos.textos, QStringList{});
        QCOMPARE(janela().windowTitle(), titulo);
        QVERIFY(!login().isVisible());
        QCOMPARE(login().EditNome->text(), nome.toUpper());
        QCOMPARE(login().EditSenhaU->text(), QString());
        QCOMPARE(janela().botaoCancelar(), registro().BotSairMedicos);
        QVERIFY(TemFoco(registro().BotSairMedicos));
        comparaHabilitados(CamposDoGrupoA + BotoesDoGrupoA + NuncaDesabilitados, true);
        comparaHabilitados({"DBNavigator7"}, true);
        QCOMPARE(QString::fromStdString(janela().sessao().UsuarioLogin), nome.toUpper());
        QCOMPARE(janela().sessao().UsuarioAtual, janela().sessao().UsuarioLogin);
    }

    void theWorkAreaIsNotMarkedInUseInTheDatabase() {
        abre();
        tentaEntrar("maria", "1234");
        QVERIFY(!login().isVisible());
        class Linha : public olvendra::data::RowSink {
        public:
            void columns(const std::vector<olvendra::data::Column>&) override {}
            void row(const std::string_view*, const bool* nulos) override {
                emUsoNulo = nulos[0];
                atividadeNula = nulos[1];
                ++linhas;
            }
            bool emUsoNulo = false;
            bool atividadeNula = false;
            int linhas = 0;
        } linha;
        olvendra::data::Connection conexao(ambiente_->banco());
        conexao.select("select EMUSO, ATCAIXA from ESTACOES where ESTACAO = 'A12'", {}, linha);
        QCOMPARE(linha.linhas, 1);
        QVERIFY(linha.emUsoNulo);
        QVERIFY(linha.atividadeNula);
    }

    void aUserWithoutAWorkAreaGetsBothNoticesAndTheProgramEnds() {
        abre();
        RespondeAvisos avisos;
        tentaEntrar("joao", "4321");
        const QString selecao = Texto(
            "Não foi possível selecionar uma área de trabalho para o usuário \"JOAO\". \n\n"
            "Causas prováveis: \n\n"
            "  1) Na tabela \"Estacoes.db\" não foi incluída uma estação para o usuário \"JOAO\".\n"
            "     Obs: Criar também a área de trabalho física (pasta C:\\Olvendra\\InterfacXX) "
            "para este usuário.\n"
            "  --> Favor contactar o suporte técnico da QIR SISTEMAS <--");
        QCOMPARE(
            avisos.textos,
            (QStringList{selecao,
                         Texto("Não foi identificada uma área de trabalho para o usuáro JOAO")}));
        QCOMPARE(janela().windowTitle(), TituloInicial);
        QVERIFY(!janela().isVisible());
        QVERIFY(!std::filesystem::exists(ambiente_->marcador()));
    }

    void aWorkAreaWithoutAPathEndsTheProgramAfterSettingTheCaption() {
        ambiente_->usuario("RUI", "1", AmbienteDeTeste::AcessoPara('R'));
        ambiente_->estacao("R1", "RUI", "");
        abre();
        RespondeAvisos avisos;
        tentaEntrar("rui", "1");
        QCOMPARE(avisos.textos,
                 QStringList{Texto("Não foi identificada uma área de trabalho para o usuáro RUI")});
        QCOMPARE(janela().windowTitle(),
                 Texto("  CAD. DE MÉDICOS  -  Usuário: \"RUI\"   Estação: R1"));
        QVERIFY(!janela().isVisible());
    }

    void enterInTheNameMovesOnWithoutValidating() {
        abre();
        RespondeAvisos avisos;
        login().EditNome->selectAll();
        Digita("maria");
        Tecla(Qt::Key_Return);
        QVERIFY(TemFoco(login().EditSenhaU));
        QCOMPARE(login().EditNome->text(), QStringLiteral("MARIA"));
        QCOMPARE(avisos.textos, QStringList{});
        QVERIFY(login().isVisible());
    }

    void tabWalksTheLoginPanel() {
        abre();
        const QList<QWidget*> ordem = {login().EditSenhaU, login().BotOkSenha,
                                       login().BotCancSenha};
        for (QWidget* proximo : ordem) {
            Tecla(Qt::Key_Tab);
            QVERIFY(TemFoco(proximo));
        }
    }

    void tabWalksTheRecordPanelAfterLogin() {
        abre();
        tentaEntrar("maria", "1234");
        Controle(janela(), "DBComboBox1")->setFocus(Qt::OtherFocusReason);
        const QStringList ordem = {"DBComboBox2",   "DBEditMedico",   "DBLookupComboBox1",
                                   "DBEditMedFone", "DBEditMedEnd",   "DBEditMedCompl",
                                   "DBEditMedCid",  "DBEditMedEst",   "DBEdit11",
                                   "DBEditMedCEP",  "DBEditDataAniv", "DBEditComissPerc",
                                   "DBEdit4",       "DBEditEmail",    "DBEdit1",
                                   "DBEdit2",       "DBEdit3",        "DBComboBox1"};
        for (const QString& proximo : ordem) {
            Tecla(Qt::Key_Tab);
            QVERIFY2(TemFoco(Controle(janela(), proximo)), qPrintable(proximo));
        }
    }

    void escapeAtTheLoginPanelEndsTheProgram() {
        abre();
        Tecla(Qt::Key_Escape);
        QVERIFY(!janela().isVisible());
        QVERIFY(!std::filesystem::exists(ambiente_->marcador()));
    }

    void escapeAfterLoginPressesTheExitButton() {
        ambiente_->executa("insert into MEDICOS (CRM, ESPECIALIDADE, NOME, CONSELHOPROFISSIONAL, "
                           "UFCONSELHO) values ('1', 'Pediatria', 'Ana', 'CRM', 'SP')",
                           {});
        abre();
        RespondeAvisos avisos;
        tentaEntrar("maria", "1234");
        QVERIFY(janela().isVisible());
        Controle(janela(), "DBEditMedFone")->setFocus(Qt::OtherFocusReason);
        Tecla(Qt::Key_Escape);
        QCOMPARE(avisos.textos, QStringList{});
        QVERIFY(!janela().isVisible());
        QVERIFY(!programa_->dm().MEDICOS.active());
        QVERIFY(!std::filesystem::exists(ambiente_->marcador()));
    }

    void closingBeforeLoginDeletesTheMarker() {
        abre();
        QVERIFY(std::filesystem::exists(ambiente_->marcador()));
        QVERIFY(janela().close());
        QVERIFY(!std::filesystem::exists(ambiente_->marcador()));
    }

    void closingWithoutAMarkerIsNoError() {
        abre();
        std::filesystem::remove(ambiente_->marcador());
        RespondeAvisos avisos;
        QVERIFY(janela().close());
        QCOMPARE(avisos.textos, QStringList{});
    }

    void theRecordPanelFollowsTheWindowSize() {
        abre();
        janela().resize(1000, 700);
        QCOMPARE(registro().geometry(), QRect(0, 0, 1000, 700));
        QCOMPARE(login().geometry(), QRect(152, 109, 331, 130));
    }

    void aDatabaseThatCannotBeOpenedLeavesThePanelsHidden() {
        QStringList erros;
        olvendra::DefineTratadorDeErroInesperado([&erros](std::exception_ptr erro) {
            try {
                std::rethrow_exception(erro);
            } catch (const std::exception& e) {
                erros << QString::fromUtf8(e.what());
            }
        });
        std::filesystem::remove(ambiente_->raiz() / "dados" / "olvendra.bd");
        abre();
        QCOMPARE(erros.size(), 1);
        QVERIFY(!registro().isVisible());
        QVERIFY(!login().isVisible());
        QVERIFY(janela().close());
        QVERIFY(!std::filesystem::exists(ambiente_->marcador()));
    }

    void aFailureReadingTheUsersLeavesThePanelUp() {
        QStringList erros;
        olvendra::DefineTratadorDeErroInesperado(
            [&erros](std::exception_ptr) { erros << QStringLiteral("erro"); });
        abre();
        ambiente_->executa("drop table USUARIOS", {});
        RespondeAvisos avisos;
        tentaEntrar("maria", "1234");
        QCOMPARE(erros.size(), 1);
        QCOMPARE(avisos.textos, QStringList{});
        QVERIFY(login().isVisible());
        QVERIFY(janela().isVisible());
    }
};

QTEST_MAIN(JanelaTest)
#include "janela_test.moc"
