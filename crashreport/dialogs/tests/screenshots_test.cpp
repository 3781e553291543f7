// Pictures of every exception dialog, for the README and for a look at them by eye.

#include "crashreport/dialogs/classic_dialog.h"
#include "crashreport/dialogs/detailed_dialog.h"
#include "crashreport/dialogs/reproduce_request.h"
#include "crashreport/dialogs/send_progress.h"
#include "crashreport/dialogs/show_exception_dialog.h"
#include "crashreport/dialogs/tests/dialog_fixture.h"
#include "crashreport/intercept/activation.h"
#include "crashreport/qt/fault_application.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <stdexcept>
#include <string>

using namespace faulttrap;
using namespace faulttrap::testing;

namespace {

constexpr std::uint16_t kDefaultDialogOptions = 0x018F;

bool ShowActive(QWidget* window) {
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

// The user declines sending (Space on the send box) and closes the dialog with Escape.
void DeclineAndClose(DetailedDialog* dialog) {
    QCheckBox* send = dialog->SendBox();
    send->setFocus(Qt::TabFocusReason);
    if (send->isChecked()) {
        QTest::keyClick(send, Qt::Key_Space);
    }
    QVERIFY(!send->isChecked());
    QTest::keyClick(send, Qt::Key_Escape);
}

// Opening a record fails: the professional's data cannot be read.
[[gnu::noinline]] void OpenProfessionalRecord(int number) {
    throw std::runtime_error("Cannot open the record of professional " + std::to_string(number) +
                             ": the register is locked by another user.");
}

// The program's window: one button whose slot throws.
class RecordWindow : public QWidget {
public:
    RecordWindow() {
        setWindowTitle("Professional records");
        button_ = new QPushButton("&Open record", this);
        button_->setGeometry(20, 20, 160, 30);
        connect(button_, &QPushButton::clicked, this, [] { OpenProfessionalRecord(1234); });
        resize(200, 70);
    }
    QPushButton* OpenButton() const { return button_; }

private:
    QPushButton* button_;
};

} // namespace

class ScreenshotsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void messageBox();
    void classicDialogThenEveryDetailedPage();
    void detailedDialogCompact();
    void ownLookDialog();
    void reproduceRequest();
    void sendProgress();

private:
    void Save(QWidget* window, const QString& name);
    void PressTheFailingButton();
    QString folder_;
    QTemporaryDir config_;
};

void ScreenshotsTest::initTestCase() {
    QVERIFY(IsActive());
    // A state file of its own: the dialogs open with their default sizes and column widths.
    QVERIFY(config_.isValid());
    qputenv("XDG_CONFIG_HOME", config_.path().toLocal8Bit());
    TFaultModuleOptionsEx& options = MainModuleOptions();
    options.SetLogFolder((config_.path() + "/reports.ftlog").toStdString());
    // Sending is offered (nothing answers there, and every picture's user declines it).
    options.SetEMailSendMode(TFaultEMailSendMode::SMTPClient);
    options.SetSMTPHost("127.0.0.1");
    options.SetSMTPPort(9);
    options.SetEMailAddresses("support@example.org");
    folder_ =
        qEnvironmentVariable("FAULTTRAP_SCREENSHOT_DIR", QDir::currentPath() + "/screenshots");
    QVERIFY(QDir().mkpath(folder_));
}

void ScreenshotsTest::Save(QWidget* window, const QString& name) {
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QTest::qWait(100);
    const QString path = folder_ + "/" + name + ".png";
    QVERIFY(window->grab().save(path));
    QVERIFY(QFileInfo(path).size() > 1000);
}

void ScreenshotsTest::messageBox() {
    DialogFixture fixture;
    QMessageBox box(QMessageBox::Critical, "Error occurred", "Cannot open.", QMessageBox::Ok);
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    Save(&box, "message_box");
}

// The program fails for real: the slot of its button throws, FaultTrap catches the exception
// in the event loop and shows its dialogs, which the test drives with the keyboard.
void ScreenshotsTest::PressTheFailingButton() {
    RecordWindow window;
    QVERIFY(ShowActive(&window));
    QTest::keyClick(window.OpenButton(), Qt::Key_Space);
}

void ScreenshotsTest::classicDialogThenEveryDetailedPage() {
    TFaultModuleOptionsEx& options = MainModuleOptions();
    options.SetExceptionDialogType(TFaultDialogType::Classic);
    options.SetDialogOptions(kDefaultDialogOptions);
    bool classicSeen = false;
    QStringList pages;
    WhenShown("FT_MS_DIALOG", [&](QWidget* classic) {
        QVERIFY(ShowActive(classic));
        Save(classic, "classic_dialog");
        classicSeen = true;
        WhenShown("FT_DIALOG", [&](QWidget* window) {
            auto* detailed = static_cast<DetailedDialog*>(window);
            QVERIFY(ShowActive(detailed));
            const char* names[] = {"general",   "call_stack", "modules",
                                   "processes", "assembler",  "cpu"};
            for (int tab = 0; tab < detailed->Tabs()->count(); ++tab) {
                pages << names[detailed->CurrentPage()];
                Save(detailed, QString("detailed_") + pages.last());
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
            }
            DeclineAndClose(detailed);
        });
        // The details link, by its accelerator.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::AltModifier);
    });
    PressTheFailingButton();
    QTRY_VERIFY_WITH_TIMEOUT(pages.size() == 6, 20000);
    QVERIFY(classicSeen);
    QCOMPARE(pages,
             QStringList({"general", "call_stack", "modules", "processes", "assembler", "cpu"}));
}

void ScreenshotsTest::detailedDialogCompact() {
    TFaultModuleOptionsEx& options = MainModuleOptions();
    options.SetExceptionDialogType(TFaultDialogType::Detailed);
    options.SetDialogOptions(kDefaultDialogOptions);
    options.SetSupportURL("https://example.com/support");
    bool seen = false;
    WhenShown("FT_DIALOG", [&](QWidget* dialog) {
        QVERIFY(ShowActive(dialog));
        Save(dialog, "detailed_compact");
        seen = true;
        DeclineAndClose(static_cast<DetailedDialog*>(dialog));
    });
    PressTheFailingButton();
    QTRY_VERIFY_WITH_TIMEOUT(seen, 20000);
    options.SetSupportURL("");
}

void ScreenshotsTest::ownLookDialog() {
    TFaultModuleOptionsEx& options = MainModuleOptions();
    options.SetExceptionDialogType(TFaultDialogType::Detailed);
    options.SetDialogOptions(kDefaultDialogOptions | dialog_options::OwnLook |
                             dialog_options::OpenDetailed);
    options.SetInitialPage(TFaultDialogPage::CallStack);
    bool seen = false;
    WhenShown("FT_DIALOG", [&](QWidget* dialog) {
        QVERIFY(ShowActive(dialog));
        Save(dialog, "detailed_own_look");
        seen = true;
        DeclineAndClose(static_cast<DetailedDialog*>(dialog));
    });
    PressTheFailingButton();
    QTRY_VERIFY_WITH_TIMEOUT(seen, 20000);
    options.SetInitialPage(TFaultDialogPage::General);
}

void ScreenshotsTest::reproduceRequest() {
    DialogFixture fixture;
    ReproduceRequestDialog dialog(*fixture.session);
    dialog.StepsBox()->setPlainText("1. Log in as MARIA\n2. Search for \"Silva\"\n3. Press Save");
    Save(&dialog, "reproduce_request");
}

void ScreenshotsTest::sendProgress() {
    DialogFixture fixture;
    fixture.ConfigureSending();
    SendProgressDisplay display(*fixture.session);
    display.OpenSendProgress(true);
    QVERIFY(display.IsOpen());
    display.SetSendStatusCounted("Sending message...", 1, 2);
    display.SetSendProgress(60);
    Save(display.Window(), "send_progress");
    display.CloseSendProgress();
}

int main(int argc, char** argv) {
    TFaultApplication application(argc, argv);
    ScreenshotsTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "screenshots_test.moc"
