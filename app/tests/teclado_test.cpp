// What the keyboard may and may not reach, through the real window: the login panel keeps every
// keystroke until the login succeeds, and Alt+letters that press no button type nothing.

#include "app/painel_login.h"
#include "app/painel_pesquisa.h"
#include "app/painel_relacao.h"
#include "app/painel_tabela.h"
#include "registro_aberto.h"
#include "responde_avisos.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

using namespace olvendra::app::testing;
using olvendra::data::RecordSetState;

namespace {

// The texts of the record panel's controls that stay enabled under the login.
QStringList TextosSobOLogin(RegistroAberto& r) {
    return {r.controle<QComboBox>("DBComboBox1")->currentText(),
            r.controle<QComboBox>("DBComboBox2")->currentText(),
            r.controle<QComboBox>("DBLookupComboBox1")->currentText(),
            r.controle<QLineEdit>("DBEdit4")->text(), r.controle<QLineEdit>("DBEdit3")->text()};
}

} // namespace

class TecladoTest : public QObject {
    Q_OBJECT

    std::unique_ptr<RegistroAberto> r_;

    // The program up to its login panel, over one complete professional.
    void mostraLogin() {
        r_ = std::make_unique<RegistroAberto>();
        Insere(r_->ambiente, "1111", "Cardiologia", "Ana Lima", "CRM", "SP", "3333-0000");
        r_->programa = std::make_unique<olvendra::app::Programa>();
        QVERIFY(r_->programa->inicia(r_->ambiente.programa(), r_->ambiente.raiz()));
        r_->janela().show();
        r_->janela().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&r_->janela()));
        QVERIFY(TemFoco(r_->janela().painelLogin()->EditNome));
    }

    bool focoNoLogin() {
        return r_->janela().painelLogin()->isAncestorOf(QApplication::focusWidget());
    }

private slots:
    void cleanup() { r_.reset(); }

    void keysTypedBeforeTheLoginNeverReachAProfessional() {
        mostraLogin();
        const auto antes = LeDoBanco(r_->ambiente, "1111");
        const QStringList textos = TextosSobOLogin(*r_);
        auto* login = r_->janela().painelLogin();

        Tecla(Qt::Key_Tab, Qt::ShiftModifier);
        QVERIFY(TemFoco(login->BotCancSenha));
        Digita(QStringLiteral("maria"));
        Tecla(Qt::Key_S, Qt::AltModifier);
        Tecla(Qt::Key_T, Qt::AltModifier);
        Tecla(Qt::Key_P, Qt::AltModifier);
        Tecla(Qt::Key_Tab, Qt::ShiftModifier);
        Tecla(Qt::Key_Tab, Qt::ShiftModifier);
        QVERIFY(TemFoco(login->EditSenhaU));
        Tecla(Qt::Key_Tab, Qt::ShiftModifier);
        QVERIFY(TemFoco(login->EditNome));
        // Around the panel: from "Cancela" Tab wraps to the name, never into the record panel.
        for (int i = 0; i < 4; ++i) {
            Tecla(Qt::Key_Tab);
            QVERIFY(focoNoLogin());
        }
        QVERIFY(TemFoco(login->EditNome));
        QCOMPARE(TextosSobOLogin(*r_), textos);
        QCOMPARE(r_->medicos().state(), RecordSetState::Browsing);

        // The one control a click can still reach under the login takes no key either.
        r_->controle("DBComboBox1")->setFocus(Qt::MouseFocusReason);
        Digita(QStringLiteral("1234"));
        Tecla(Qt::Key_Return);
        QCOMPARE(TextosSobOLogin(*r_), textos);
        QCOMPARE(r_->medicos().state(), RecordSetState::Browsing);

        login->EditNome->setFocus(Qt::MouseFocusReason);
        login->EditNome->selectAll();
        Digita(QStringLiteral("maria"));
        Tecla(Qt::Key_Return);
        Digita(QStringLiteral("1234"));
        Tecla(Qt::Key_Return);
        QVERIFY(QTest::qWaitForWindowActive(&r_->janela()));
        QVERIFY(r_->registro().DBNavigator7->isEnabled());
        QCOMPARE(TextosSobOLogin(*r_), textos);

        RespondeAvisos avisos;
        Atalho(r_->janela(), Qt::Key_S);
        QTRY_VERIFY(!r_->janela().isVisible());
        QVERIFY(avisos.textos.isEmpty());
        QCOMPARE(LeDoBanco(r_->ambiente, "1111"), antes);
        QCOMPARE(ContaNoBanco(r_->ambiente), std::size_t{1});
    }

    void shiftTabThenEnterPressesCancelaAndStoresNothing() {
        mostraLogin();
        const auto antes = LeDoBanco(r_->ambiente, "1111");
        Tecla(Qt::Key_Tab, Qt::ShiftModifier);
        Digita(QStringLiteral("maria"));
        Tecla(Qt::Key_Return);
        QTRY_VERIFY(!r_->janela().isVisible());
        QVERIFY(!std::filesystem::exists(r_->ambiente.marcador()));
        QCOMPARE(LeDoBanco(r_->ambiente, "1111"), antes);
    }

    void altWithALetterThatPressesNothingTypesNothing() {
        mostraLogin();
        Digita(QStringLiteral("maria"));
        Tecla(Qt::Key_Return);
        Digita(QStringLiteral("1234"));
        Tecla(Qt::Key_Return);
        QVERIFY(QTest::qWaitForWindowActive(&r_->janela()));
        r_->foca("DBEditMedFone");
        auto* fone = r_->controle<QLineEdit>("DBEditMedFone");
        fone->end(false);
        for (Qt::Key letra : {Qt::Key_X, Qt::Key_A, Qt::Key_Q, Qt::Key_7}) {
            Tecla(letra, Qt::AltModifier);
        }
        QCOMPARE(fone->text(), QStringLiteral("3333-0000"));
        QCOMPARE(r_->medicos().state(), RecordSetState::Browsing);
    }

    void theInnerPanelsCoverTheGrownMemoWhateverHadTheFocus() {
        mostraLogin();
        Digita(QStringLiteral("maria"));
        Tecla(Qt::Key_Return);
        Digita(QStringLiteral("1234"));
        Tecla(Qt::Key_Return);
        QVERIFY(QTest::qWaitForWindowActive(&r_->janela()));
        r_->foca("DBEdit11");
        QCOMPARE(r_->controle("DBEdit11")->height(), 120);
        // Grown, the memo covers the fields below it.
        QVERIFY(r_->controle("DBEdit11")->isAncestorOf(r_->registro().childAt(300, 320)));
        Tecla(Qt::Key_Return);
        const QPoint sobOMemo(300, 290);
        Atalho(r_->janela(), Qt::Key_T);
        QVERIFY(r_->janela().painelTabela()->isVisible());
        QVERIFY(r_->janela().painelTabela()->isAncestorOf(r_->registro().childAt(sobOMemo)));
        Tecla(Qt::Key_Escape);
        QVERIFY(!r_->janela().painelTabela()->isVisible());
        r_->foca("DBEdit11");
        Atalho(r_->janela(), Qt::Key_P);
        QVERIFY(r_->janela().painelPesquisa()->isVisible());
        Tecla(Qt::Key_Return);
        QVERIFY(r_->janela().painelRelacao()->isVisible());
        QVERIFY(r_->janela().painelRelacao()->isAncestorOf(r_->registro().childAt(sobOMemo)));
    }

    void theResultListHintAndTheMessageBoxCaptionsFit() {
        mostraLogin();
        auto* dica = r_->janela().findChild<QLabel*>(QStringLiteral("Label405"));
        QVERIFY(dica != nullptr);
        QVERIFY(dica->width() >= dica->fontMetrics().horizontalAdvance(dica->text()));
        int largura = 0;
        QString titulo;
        QTimer::singleShot(100, [&] {
            auto* caixa = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (caixa != nullptr) {
                largura = caixa->width();
                titulo = caixa->windowTitle();
                caixa->button(QMessageBox::Ok)->click();
            }
        });
        // An empty name: the login's first notice.
        r_->janela().painelLogin()->EditNome->clear();
        Tecla(Qt::Key_Return);
        Tecla(Qt::Key_Return);
        QTRY_VERIFY(largura > 0);
        const QFontMetrics medidas(QApplication::font("QMdiSubWindowTitleBar"));
        QVERIFY2(largura > medidas.horizontalAdvance(titulo), qPrintable(titulo));
    }

    void theRecordPanelInsertsStoresAndDeletesWithoutAMouse() {
        mostraLogin();
        Digita(QStringLiteral("maria"));
        Tecla(Qt::Key_Return);
        Digita(QStringLiteral("1234"));
        Tecla(Qt::Key_Return);
        QVERIFY(QTest::qWaitForWindowActive(&r_->janela()));
        for (const char* botao : {"Inclui", "Exclui", "Grava", "Rele"}) {
            const QString dica = r_->registro()
                                     .DBNavigator7->findChild<QWidget*>(QString::fromLatin1(botao))
                                     ->toolTip();
            QVERIFY2(dica.contains(QStringLiteral("(")), qPrintable(dica));
        }

        auto avisos = std::make_unique<RespondeAvisos>();
        Tecla(Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(r_->medicos().state(), RecordSetState::Inserting);
        QVERIFY(TemFoco(r_->registro().DBEditCRM));
        Digita(QStringLiteral("2222"));
        Tecla(Qt::Key_Return);
        for (const QString& texto :
             {QStringLiteral("cro"), QStringLiteral("rj"), QStringLiteral("Bruno Reis")}) {
            Digita(texto);
            Tecla(Qt::Key_Return);
        }
        Tecla(Qt::Key_Down); // the first specialty
        // Ctrl+Enter stores from the field that has the focus.
        Tecla(Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(avisos->textos, QStringList{});
        avisos.reset();
        QCOMPARE(r_->medicos().state(), RecordSetState::Browsing);
        QCOMPARE(LeDoBanco(r_->ambiente, "2222").size(), std::size_t{1});
        QCOMPARE(r_->campo("CRM"), QStringLiteral("2222"));

        // Ctrl+Up and Ctrl+Down step through the professionals, in name order.
        Tecla(Qt::Key_Up, Qt::ControlModifier);
        QCOMPARE(r_->campo("CRM"), QStringLiteral("1111"));
        Tecla(Qt::Key_Down, Qt::ControlModifier);
        QCOMPARE(r_->campo("CRM"), QStringLiteral("2222"));

        // Ctrl+Delete asks first, also from a text field, whose own use of the key yields.
        r_->foca("DBEditMedFone");
        {
            RespondeAvisos cancela(QMessageBox::Cancel);
            Tecla(Qt::Key_Delete, Qt::ControlModifier);
            QCOMPARE(cancela.textos, QStringList{QStringLiteral("Delete record?")});
        }
        QCOMPARE(LeDoBanco(r_->ambiente, "2222").size(), std::size_t{1});
        QVERIFY(QTest::qWaitForWindowActive(&r_->janela()));
        {
            RespondeAvisos confirma(QMessageBox::Ok);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete, Qt::ControlModifier);
            QCOMPARE(confirma.textos, QStringList{QStringLiteral("Delete record?")});
        }
        QVERIFY(LeDoBanco(r_->ambiente, "2222").empty());
        QCOMPARE(ContaNoBanco(r_->ambiente), std::size_t{1});
    }
};

QTEST_MAIN(TecladoTest)
#include "teclado_test.moc"
