// The main window's outer frame on a real X display, measured by the X tools rather than by Qt:
// first on a bare display, then under a real window manager that frames the window some time
// after it is shown.

#include "ambiente_de_teste.h"
#include "app/form_medicos.h"
#include "app/programa.h"

#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <optional>

using olvendra::app::Programa;
using olvendra::app::TFormMedicos;
using olvendra::app::testing::AmbienteDeTeste;

namespace {

const QSize TamanhoExterno(TFormMedicos::Largura, TFormMedicos::Altura);

QString Saida(const QString& programa, const QStringList& argumentos) {
    QProcess processo;
    processo.start(programa, argumentos);
    if (!processo.waitForFinished(5000) || processo.exitCode() != 0) {
        return {};
    }
    return QString::fromLocal8Bit(processo.readAllStandardOutput());
}

std::optional<int> Numero(const QString& texto, const QString& rotulo) {
    const QRegularExpression padrao(QRegularExpression::escape(rotulo) +
                                    QStringLiteral(":\\s*(-?\\d+)"));
    const QRegularExpressionMatch achado = padrao.match(texto);
    if (!achado.hasMatch()) {
        return std::nullopt;
    }
    return achado.captured(1).toInt();
}

// The window's outer rectangle on the screen: its client area as the X server places it,
// grown by the frame extents the window manager announces on it (none without one).
std::optional<QRect> Moldura(WId janela) {
    const QString id = QString::number(janela);
    const QString geometria = Saida(QStringLiteral("xwininfo"), {QStringLiteral("-id"), id});
    const auto x = Numero(geometria, QStringLiteral("Absolute upper-left X"));
    const auto y = Numero(geometria, QStringLiteral("Absolute upper-left Y"));
    const auto largura = Numero(geometria, QStringLiteral("Width"));
    const auto altura = Numero(geometria, QStringLiteral("Height"));
    if (!x || !y || !largura || !altura) {
        return std::nullopt;
    }
    QMargins bordas;
    const QString extensoes = Saida(
        QStringLiteral("xprop"), {QStringLiteral("-id"), id, QStringLiteral("_NET_FRAME_EXTENTS")});
    const QRegularExpressionMatch achado =
        QRegularExpression(QStringLiteral("= (\\d+), (\\d+), (\\d+), (\\d+)")).match(extensoes);
    if (achado.hasMatch()) {
        bordas = QMargins(achado.captured(1).toInt(), achado.captured(3).toInt(),
                          achado.captured(2).toInt(), achado.captured(4).toInt());
    }
    return QRect(*x, *y, *largura, *altura).marginsAdded(bordas);
}

// Where the outer rectangle is expected: the specified size, centred on the work area.
QRect Centrada() {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    return QRect(area.x() + (area.width() - TamanhoExterno.width()) / 2,
                 area.y() + (area.height() - TamanhoExterno.height()) / 2, TamanhoExterno.width(),
                 TamanhoExterno.height());
}

QString Texto(const std::optional<QRect>& caixa) {
    if (!caixa) {
        return QStringLiteral("not measured");
    }
    return QStringLiteral("%1,%2 %3x%4")
        .arg(caixa->x())
        .arg(caixa->y())
        .arg(caixa->width())
        .arg(caixa->height());
}

} // namespace

class MolduraTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<AmbienteDeTeste> ambiente_;
    std::unique_ptr<Programa> programa_;
    QProcess gerenciador_;

    TFormMedicos& janela() { return programa_->janela(); }

    void abre() {
        programa_ = std::make_unique<Programa>();
        QVERIFY(programa_->inicia(ambiente_->programa(), ambiente_->raiz()));
        // Only the frame is measured here: shown without taking the focus, the window is not
        // activated, and its first activation's work (the database, the login) stays out.
        janela().setAttribute(Qt::WA_ShowWithoutActivating);
        janela().show();
        // A loaded machine and a window manager that maps the window late take their time.
        QVERIFY(QTest::qWaitForWindowExposed(&janela(), 30000));
    }

    // The outer rectangle reaches the centred one, and stays there.
    void comparaComACentrada() {
        std::optional<QRect> medida;
        QTRY_VERIFY2_WITH_TIMEOUT((medida = Moldura(janela().winId())) == Centrada(),
                                  qPrintable(Texto(medida) + " instead of " + Texto(Centrada())),
                                  20000);
        QTest::qWait(500);
        medida = Moldura(janela().winId());
        QVERIFY2(medida == Centrada(), qPrintable(Texto(medida)));
    }

private slots:
    void initTestCase() {
        if (QGuiApplication::platformName() != QStringLiteral("xcb")) {
            QSKIP("The frame is measured on a real X display only (xvfb-run was not found).");
        }
    }

    void init() { ambiente_ = std::make_unique<AmbienteDeTeste>(); }

    void cleanup() {
        programa_.reset();
        ambiente_.reset();
        if (gerenciador_.state() != QProcess::NotRunning) {
            gerenciador_.terminate();
            QVERIFY(gerenciador_.waitForFinished(5000));
        }
    }

    void withoutAWindowManagerTheWindowIsItsGivenSizeInTheCentre() {
        abre();
        if (QTest::currentTestFailed()) {
            return;
        }
        comparaComACentrada();
    }

    void underAWindowManagerTheFrameIsCountedInTheSizeAndTheCentring() {
        // The window manager is ready once it has started up whole: it then runs its start-up
        // command (naming itself on the root window comes earlier, while it still sets up).
        QTemporaryDir pasta;
        QVERIFY(pasta.isValid());
        const QString pronto = pasta.filePath(QStringLiteral("pronto"));
        gerenciador_.start(QStringLiteral("openbox"),
                           {QStringLiteral("--sm-disable"), QStringLiteral("--startup"),
                            QStringLiteral("touch ") + pronto});
        QVERIFY2(gerenciador_.waitForStarted(5000), "openbox could not be started");
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(pronto), 30000);
        abre();
        if (QTest::currentTestFailed()) {
            return;
        }
        comparaComACentrada();
        // A real frame was there to be counted.
        QVERIFY(janela().frameGeometry().size() != janela().size());
        QCOMPARE(janela().frameGeometry().size(), TamanhoExterno);
    }
};

QTEST_MAIN(MolduraTest)
#include "moldura_test.moc"
