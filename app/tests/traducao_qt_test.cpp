// Qt's own texts in the program's language: message-box buttons and the edit menu are Brazilian
// Portuguese when the platform names no language (this test runs in the C locale).
#include "app/traducao_qt.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include <memory>

class TraducaoQtTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY2(QLocale::system().language() == QLocale::C, "the test needs the C locale");
        QVERIFY(olvendra::app::CarregaTraducaoDoQt(*qApp));
    }

    void oIdiomaDaPlataformaValeQuandoHaUm() {
        QCOMPARE(olvendra::app::IdiomaDoQt(QLocale::c()).name(), QString("pt_BR"));
        QCOMPARE(olvendra::app::IdiomaDoQt(QLocale("de_DE")).name(), QString("de_DE"));
    }

    void osBotoesDaCaixaDeMensagemFalamPortugues() {
        QMessageBox caixa(QMessageBox::Warning, "CADASTRO", "Gravar?",
                          QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel |
                              QMessageBox::Ok);
        QCOMPARE(caixa.button(QMessageBox::Yes)->text(), QString("&Sim"));
        QCOMPARE(caixa.button(QMessageBox::No)->text(), QString::fromUtf8("&Não"));
        QCOMPARE(caixa.button(QMessageBox::Cancel)->text(), QString("Cancelar"));
        QCOMPARE(caixa.button(QMessageBox::Ok)->text(), QString("OK"));
    }

    void oMenuDeEdicaoFalaPortugues() {
        QLineEdit campo;
        campo.setText("abc");
        const std::unique_ptr<QMenu> menu(campo.createStandardContextMenu());
        QStringList textos;
        for (const QAction* acao : menu->actions()) {
            if (!acao->isSeparator()) {
                textos << acao->text().section('\t', 0, 0);
            }
        }
        QVERIFY2(textos.contains("&Desfazer"), qPrintable(textos.join('|')));
        QVERIFY2(textos.contains("Recor&tar"), qPrintable(textos.join('|')));
        QVERIFY2(textos.contains("C&olar"), qPrintable(textos.join('|')));
        QVERIFY2(textos.contains("Selecionar tudo"), qPrintable(textos.join('|')));
    }
};

QTEST_MAIN(TraducaoQtTest)
#include "traducao_qt_test.moc"
