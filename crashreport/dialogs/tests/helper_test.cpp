// The dialogs in a helper process: this test program is its own helper.

#include "crashreport/dialogs/dialog_helper.h"
#include "crashreport/dialogs/show_exception_dialog.h"
#include "crashreport/dialogs/state_file.h"
#include "crashreport/dialogs/tests/dialog_fixture.h"

#include <QTest>

#include <chrono>
#include <thread>

using namespace faulttrap;
using namespace faulttrap::testing;

class HelperTest : public QObject {
    Q_OBJECT

private slots:
    void helperShowsTheDialogAndAnswers();
    void frozenGuiThreadHandsTheDialogToAHelper();
    void refusedRestartAsksTheHelperAgain();
};

namespace {

// The helper's dialog closes itself after a second, as an untouched dialog does.
void Untouched(DialogFixture& fixture) {
    fixture.options.SetAutoCloseSeconds(1);
}

} // namespace

void HelperTest::helperShowsTheDialogAndAnswers() {
    DialogFixture fixture;
    fixture.ConfigureSending();
    Untouched(fixture);
    // Unchecked by default: the helper's answer clears the choice.
    fixture.options.SetDialogOptions(fixture.options.DialogOptions() &
                                     ~dialog_options::SendCheckedByDefault);
    fixture.options.SetDialogOptions(fixture.options.DialogOptions() |
                                     dialog_options::OpenDetailed);
    QVERIFY(ShowExceptionDialogInHelper(*fixture.session, false, false,
                                        QCoreApplication::applicationFilePath().toStdString()));
    QCOMPARE(int(fixture.choices.dialogType), 0);
    QVERIFY(fixture.choices.dialogPainted);
    QVERIFY(!fixture.choices.sendReport);
    // The helper saved the detailed dialog's window state in the same FaultTrap.ini.
    QCOMPARE(StateFile(fixture.StatePath()).Number("Coordinates", "WindowsState", 0), 1);
}

void HelperTest::frozenGuiThreadHandsTheDialogToAHelper() {
    DialogFixture fixture;
    Untouched(fixture);
    fixture.session->guiStartTimeoutMs = 300;
    bool shown = false;
    std::thread worker([&] { shown = ShowExceptionDialog(*fixture.session, false); });
    // The GUI thread does not serve its events while it waits here: it is "frozen".
    worker.join();
    QVERIFY(shown);
    QVERIFY(fixture.choices.dialogPainted);
    QCOMPARE(int(fixture.choices.dialogType), 0);
    // The request the GUI thread finds later is dropped: no dialog opens now.
    QTest::qWait(100);
    QVERIFY(QApplication::topLevelWidgets().isEmpty() ||
            std::none_of(QApplication::topLevelWidgets().begin(),
                         QApplication::topLevelWidgets().end(),
                         [](QWidget* w) { return w->isVisible(); }));
}

void HelperTest::refusedRestartAsksTheHelperAgain() {
    DialogFixture fixture;
    Untouched(fixture);
    fixture.choices.restartRequested = true; // chosen before, as a dialog's Restart does
    int notices = 0;
    fixture.session->events.restartRequested = [&](bool& restart) {
        ++notices;
        restart = false;
    };
    QVERIFY(ShowExceptionDialogInHelper(*fixture.session, false, false,
                                        QCoreApplication::applicationFilePath().toStdString()));
    QCOMPARE(notices, 1);
    QVERIFY(!fixture.choices.restartRequested);
}

int main(int argc, char** argv) {
    if (const int helper = RunDialogHelperIfRequested(argc, argv); helper >= 0) {
        return helper;
    }
    QApplication application(argc, argv);
    HelperTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "helper_test.moc"
