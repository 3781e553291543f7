// Pictures of every exception dialog, for the README and for a look at them by eye.

#include "crashreport/dialogs/classic_dialog.h"
#include "crashreport/dialogs/detailed_dialog.h"
#include "crashreport/dialogs/reproduce_request.h"
#include "crashreport/dialogs/send_progress.h"
#include "crashreport/dialogs/show_exception_dialog.h"
#include "dialog_fixture.h"

#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>

using namespace faulttrap;
using namespace faulttrap::testing;

class ScreenshotsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void messageBox();
    void classicDialog();
    void detailedDialogCompact();
    void detailedDialogPages();
    void ownLookDialog();
    void reproduceRequest();
    void sendProgress();

private:
    void Save(QWidget* window, const QString& name);
    QString folder_;
};

void ScreenshotsTest::initTestCase() {
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

void ScreenshotsTest::classicDialog() {
    DialogFixture fixture;
    fixture.ConfigureSending();
    fixture.options.SetReportOptions(fixture.options.ReportOptions() |
                                     report_options::AskReproduceSteps);
    fixture.session->exceptionCount = 4;
    ClassicDialog dialog(*fixture.session);
    dialog.DescriptionBox()->setPlainText("I opened the professional's record and pressed Save.");
    dialog.EmailBox()->setText("maria@farmacia.com.br");
    Save(&dialog, "classic_dialog");
}

void ScreenshotsTest::detailedDialogCompact() {
    DialogFixture fixture;
    fixture.ConfigureSending();
    fixture.options.SetSupportURL("https://example.com/support");
    DetailedDialog dialog(*fixture.session);
    Save(&dialog, "detailed_compact");
}

void ScreenshotsTest::detailedDialogPages() {
    DialogFixture fixture;
    fixture.ConfigureSending();
    fixture.session->exceptionCount = 4;
    fixture.options.SetDialogOptions(fixture.options.DialogOptions() |
                                     dialog_options::OpenDetailed);
    DetailedDialog dialog(*fixture.session);
    const char* names[] = {"general", "call_stack", "modules", "processes", "assembler", "cpu"};
    for (int tab = 0; tab < dialog.Tabs()->count(); ++tab) {
        dialog.Tabs()->setCurrentIndex(tab);
        Save(&dialog, QString("detailed_") + names[dialog.CurrentPage()]);
    }
}

void ScreenshotsTest::ownLookDialog() {
    DialogFixture fixture;
    fixture.ConfigureSending();
    fixture.options.SetDialogOptions(fixture.options.DialogOptions() | dialog_options::OwnLook |
                                     dialog_options::OpenDetailed);
    fixture.options.SetInitialPage(TFaultDialogPage::CallStack);
    DetailedDialog dialog(*fixture.session);
    Save(&dialog, "detailed_own_look");
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

QTEST_MAIN(ScreenshotsTest)
#include "screenshots_test.moc"
