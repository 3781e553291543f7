#include "crashreport/dialogs/classic_dialog.h"
#include "crashreport/dialogs/detailed_dialog.h"
#include "crashreport/dialogs/grouped_list.h"
#include "crashreport/dialogs/gui_thread.h"
#include "crashreport/dialogs/link_label.h"
#include "crashreport/dialogs/report_pages.h"
#include "crashreport/dialogs/send_progress.h"
#include "crashreport/dialogs/show_exception_dialog.h"
#include "crashreport/dialogs/state_file.h"
#include "crashreport/dialogs/tests/dialog_fixture.h"
#include "crashreport/dialogs/window_placement.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include <atomic>
#include <thread>

using namespace faulttrap;
using namespace faulttrap::testing;

class DialogsTest : public QObject {
    Q_OBJECT

private slots:
    void bandHeightFollowsTheOfferedOptions_data();
    void bandHeightFollowsTheOfferedOptions();
    void withoutSendMethodNothingOffersSending();
    void terminateButtonAfterEnoughErrors();
    void detailsButtonHiddenWhenOpenedFromClassic();
    void screenshotBoxFollowsTheSendBox();
    void choicesComeFromTheCheckBoxes();
    void autoCloseCountsUntouchedSeconds();
    void invalidEmailKeepsTheClassicDialogOpen();
    void validEmailIsStoredAndReported();
    void requestSectionIsInsertedOnce_data();
    void requestSectionIsInsertedOnce();
    void cancelledRestartShowsTheDialogAgain();
    void messageBoxTypeShowsOnlyTheMessage();
    void initialPageNamingAHiddenPage_data();
    void initialPageNamingAHiddenPage();
    void compactAndDetailedModes();
    void placementStaysInsideTheWorkArea_data();
    void placementStaysInsideTheWorkArea();
    void detailedWindowStateIsSavedAndRestored();
    void restoredWindowLiesInsideTheWorkArea_data();
    void restoredWindowLiesInsideTheWorkArea();
    void columnWidthsAreRestored();
    void defaultColumnWidthsShowTitlesAndCells();
    void callStackGroupsCollapseAndExpand();
    void dialogFromAWorkerThreadRunsOnTheGuiThread();
    void sendProgressShowsCountedStatus();
    void exceptionOnTheGuiThreadReachesTheWorker();
};

void DialogsTest::bandHeightFollowsTheOfferedOptions_data() {
    QTest::addColumn<bool>("sendMethod");
    QTest::addColumn<int>("dialogOptions");
    QTest::addColumn<QString>("supportUrl");
    QTest::addColumn<int>("band");
    using namespace dialog_options;
    QTest::newRow("nothing offered") << false << 0 << "" << 0;
    QTest::newRow("copy only") << false << int(OfferCopyToClipboard) << "" << 20;
    QTest::newRow("support link only") << false << 0 << "http://x" << 20;
    QTest::newRow("copy and support link")
        << false << int(OfferCopyToClipboard) << "http://x" << 34;
    QTest::newRow("send and screenshot") << true << int(OfferSending | OfferScreenshot) << "" << 34;
    QTest::newRow("send without screenshot") << true << int(OfferSending) << "" << 20;
    QTest::newRow("offers without a method")
        << false << int(OfferSending | OfferScreenshot) << "" << 0;
}

void DialogsTest::bandHeightFollowsTheOfferedOptions() {
    QFETCH(bool, sendMethod);
    QFETCH(int, dialogOptions);
    QFETCH(QString, supportUrl);
    QFETCH(int, band);
    DialogFixture fixture;
    if (sendMethod) {
        fixture.ConfigureSending();
    }
    fixture.options.SetDialogOptions(static_cast<std::uint16_t>(dialogOptions));
    fixture.options.SetSupportURL(supportUrl.toStdString());
    QCOMPARE(DetailedFeaturesOf(*fixture.session).bandHeight, band);
    DetailedDialog dialog(*fixture.session);
    QCOMPARE(dialog.SendBox()->isVisibleTo(&dialog), sendMethod);
    QCOMPARE(dialog.SupportLink()->isVisibleTo(&dialog), !supportUrl.isEmpty());
}

void DialogsTest::withoutSendMethodNothingOffersSending() {
    DialogFixture fixture;
    DetailedDialog detailed(*fixture.session);
    QVERIFY(!detailed.SendBox()->isVisibleTo(&detailed));
    QVERIFY(!detailed.ScreenshotBox()->isVisibleTo(&detailed));
    QVERIFY(detailed.CopyBox()->isVisibleTo(&detailed));

    ClassicDialog classic(*fixture.session);
    QVERIFY(!classic.SendButton()->isVisibleTo(&classic));
    QVERIFY(!classic.SendButton()->isEnabled());
    QCOMPARE(classic.DontSendButton()->text(), QStringLiteral("&OK"));
    QVERIFY(classic.DontSendButton()->isDefault());
    QVERIFY(classic.EmailBox() == nullptr);

    DialogFixture sending;
    sending.ConfigureSending();
    ClassicDialog offering(*sending.session);
    QVERIFY(offering.SendButton()->isVisibleTo(&offering));
    QCOMPARE(offering.SendButton()->text(), QStringLiteral("&Send Error Report"));
    QCOMPARE(offering.DontSendButton()->text(), QStringLiteral("&Don't Send"));
    QVERIFY(offering.SendButton()->geometry().right() + 8 < offering.DontSendButton()->x());
}

void DialogsTest::terminateButtonAfterEnoughErrors() {
    struct Case {
        TFaultAction action;
        int count;
        bool shown;
        const char* caption;
    };
    for (const Case& c : {Case{TFaultAction::Restart, 3, false, ""},
                          Case{TFaultAction::Restart, 4, true, "&Restart"},
                          Case{TFaultAction::Terminate, 4, true, "&Terminate"},
                          Case{TFaultAction::None, 9, false, ""}}) {
        DialogFixture fixture;
        fixture.options.SetTerminateAction(c.action);
        fixture.session->exceptionCount = c.count;
        DetailedDialog detailed(*fixture.session);
        QCOMPARE(detailed.TerminateButton()->isVisibleTo(&detailed), c.shown);
        ClassicDialog classic(*fixture.session);
        QCOMPARE(classic.RestartBox() != nullptr, c.shown);
        if (c.shown) {
            QCOMPARE(detailed.TerminateButton()->text(), QString::fromLatin1(c.caption));
            QCOMPARE(classic.RestartBox()->text(), c.action == TFaultAction::Terminate
                                                       ? QStringLiteral("Terminate application.")
                                                       : QStringLiteral("Restart application."));
        }
    }
}

void DialogsTest::detailsButtonHiddenWhenOpenedFromClassic() {
    DialogFixture fixture;
    DetailedDialog normal(*fixture.session);
    QVERIFY(normal.DetailsButton()->isVisibleTo(&normal));
    QVERIFY(!normal.Detailed());
    fixture.choices.openedFromClassic = true;
    DetailedDialog fromClassic(*fixture.session);
    QVERIFY(!fromClassic.DetailsButton()->isVisibleTo(&fromClassic));
    QVERIFY(fromClassic.Detailed());
}

void DialogsTest::screenshotBoxFollowsTheSendBox() {
    DialogFixture fixture;
    fixture.ConfigureSending();
    DetailedDialog dialog(*fixture.session);
    dialog.show();
    QVERIFY(dialog.SendBox()->isChecked());
    QVERIFY(dialog.ScreenshotBox()->isChecked());
    QVERIFY(dialog.ScreenshotBox()->isEnabled());
    QTest::mouseClick(dialog.SendBox(), Qt::LeftButton);
    QVERIFY(!dialog.SendBox()->isChecked());
    QVERIFY(!dialog.ScreenshotBox()->isEnabled());
    QTest::mouseClick(dialog.SendBox(), Qt::LeftButton);
    QVERIFY(dialog.ScreenshotBox()->isEnabled());
}

void DialogsTest::choicesComeFromTheCheckBoxes() {
    DialogFixture fixture;
    fixture.ConfigureSending();
    {
        DetailedDialog dialog(*fixture.session);
        dialog.show();
        dialog.ScreenshotBox()->setChecked(false);
        dialog.CopyBox()->setChecked(true);
        QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    }
    QVERIFY(fixture.choices.sendReport);
    QVERIFY(!fixture.choices.attachScreenshot);
    QVERIFY(fixture.choices.copyToClipboard);
    QCOMPARE(int(fixture.choices.dialogType), 0);
}

void DialogsTest::autoCloseCountsUntouchedSeconds() {
    DialogFixture fixture;
    fixture.options.SetAutoCloseSeconds(10);
    DetailedDialog dialog(*fixture.session);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    for (int tick = 0; tick < 9; ++tick) {
        dialog.AutoClose().Tick();
    }
    QVERIFY(dialog.isVisible());
    QTest::mouseMove(dialog.OkButton());
    QCOMPARE(dialog.AutoClose().Count(), 0);
    for (int tick = 0; tick < 9; ++tick) {
        dialog.AutoClose().Tick();
    }
    QVERIFY(dialog.isVisible());
    dialog.AutoClose().Tick();
    QVERIFY(!dialog.isVisible());
}

void DialogsTest::invalidEmailKeepsTheClassicDialogOpen() {
    DialogFixture fixture;
    fixture.ConfigureSending();
    ClassicDialog dialog(*fixture.session);
    dialog.show();
    dialog.EmailBox()->setText(QStringLiteral("joe@example"));
    QString shownText;
    QString shownCaption;
    WhenShown(QStringLiteral("invalidEmail"), [&](QWidget* box) {
        shownText = static_cast<QMessageBox*>(box)->text();
        shownCaption = box->windowTitle();
        static_cast<QMessageBox*>(box)->accept();
    });
    QTest::mouseClick(dialog.SendButton(), Qt::LeftButton);
    QCOMPARE(shownText, QStringLiteral("Invalid email."));
    QCOMPARE(shownCaption, QStringLiteral("Error."));
    QVERIFY(dialog.isVisible());
    QVERIFY(fixture.choices.userEmail.empty());
    QVERIFY(!QFile::exists(fixture.StatePath()));
}

void DialogsTest::validEmailIsStoredAndReported() {
    DialogFixture fixture;
    fixture.ConfigureSending();
    {
        ClassicDialog dialog(*fixture.session);
        dialog.show();
        dialog.EmailBox()->setText(QStringLiteral("  joe@example.com "));
        QTest::mouseClick(dialog.SendButton(), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
    }
    QCOMPARE(fixture.choices.userEmail, std::string("joe@example.com"));
    QVERIFY(fixture.report.Text().find("  3.3 Email     : joe@example.com\r\n") !=
            std::string::npos);
    QCOMPARE(StateFile(fixture.StatePath()).Text("User", "Email"),
             QStringLiteral("joe@example.com"));
    // The next classic dialog offers the stored address.
    ClassicDialog next(*fixture.session);
    QCOMPARE(next.EmailBox()->text(), QStringLiteral("joe@example.com"));
}

void DialogsTest::requestSectionIsInsertedOnce_data() {
    QTest::addColumn<QString>("way");
    QTest::newRow("send") << "send";
    QTest::newRow("don't send") << "dontSend";
    QTest::newRow("close box") << "close";
    QTest::newRow("details link") << "details";
}

void DialogsTest::requestSectionIsInsertedOnce() {
    QFETCH(QString, way);
    DialogFixture fixture;
    fixture.ConfigureSending();
    fixture.options.SetReportOptions(fixture.options.ReportOptions() |
                                     report_options::AskReproduceSteps);
    fixture.choices.dialogType = 2;
    WhenShown(QStringLiteral("FT_MS_DIALOG"), [way](QWidget* window) {
        auto* dialog = static_cast<ClassicDialog*>(window);
        dialog->DescriptionBox()->setPlainText(QStringLiteral("I pressed Save."));
        if (way == "send") {
            dialog->SendButton()->click();
        } else if (way == "dontSend") {
            dialog->DontSendButton()->click();
        } else if (way == "close") {
            dialog->close();
        } else {
            dialog->OpenDetails();
        }
    });
    ShowExceptionDialog(*fixture.session, false);
    if (way == "details") {
        // The details link leads on to the detailed dialog and then the reproduce request.
        WhenShown(QStringLiteral("FT_DIALOG"), [](QWidget* window) {
            static_cast<DetailedDialog*>(window)->OkButton()->click();
        });
        WhenShown(QStringLiteral("FT_REQUEST"),
                  [](QWidget* window) { static_cast<QDialog*>(window)->accept(); });
        QCOMPARE(int(fixture.choices.dialogType), 3);
        fixture.choices.openedFromClassic = true;
        ShowExceptionDialog(*fixture.session, false);
        QVERIFY(AskReproduceSteps(*fixture.session));
    }
    QCOMPARE(int(fixture.choices.dialogType), 0);
    QCOMPARE(fixture.choices.reproduceText, std::string("I pressed Save."));
    QCOMPARE(Occurrences(fixture.report.Text(), "Request:\r\n"), 1);
    QCOMPARE(Occurrences(fixture.report.Text(), "I pressed Save."), 1);
}

void DialogsTest::cancelledRestartShowsTheDialogAgain() {
    DialogFixture fixture;
    fixture.session->exceptionCount = 5;
    int notices = 0;
    fixture.session->events.restartRequested = [&](bool& restart) {
        ++notices;
        if (notices == 1) {
            restart = false; // the handler refuses the first time
        }
    };
    int shown = 0;
    std::function<void(QWidget*)> answer = [&](QWidget* window) {
        ++shown;
        static_cast<DetailedDialog*>(window)->TerminateButton()->click();
        if (shown == 1) {
            WhenShown(QStringLiteral("FT_DIALOG"), answer);
        }
    };
    WhenShown(QStringLiteral("FT_DIALOG"), answer);
    ShowExceptionDialog(*fixture.session, false);
    QCOMPARE(shown, 2);
    QCOMPARE(notices, 2);
    QVERIFY(fixture.choices.restartRequested);
}

void DialogsTest::messageBoxTypeShowsOnlyTheMessage() {
    DialogFixture fixture;
    fixture.choices.dialogType = 1;
    QString text;
    WhenShown(QStringLiteral("errorMessageBox"), [&](QWidget* box) {
        text = static_cast<QMessageBox*>(box)->text();
        QCOMPARE(box->windowTitle(), QStringLiteral("Error occurred"));
        static_cast<QMessageBox*>(box)->accept();
    });
    ShowExceptionDialog(*fixture.session, true);
    QCOMPARE(text, QStringLiteral("Cannot open."));
    QCOMPARE(int(fixture.choices.dialogType), 0);

    fixture.choices.dialogType = 0;
    bool anything = false;
    WhenShown(
        QStringLiteral("errorMessageBox"),
        [&](QWidget* box) {
            anything = true;
            box->close();
        },
        5);
    ShowExceptionDialog(*fixture.session, true);
    QTest::qWait(200);
    QVERIFY(!anything);
}

void DialogsTest::initialPageNamingAHiddenPage_data() {
    QTest::addColumn<int>("reportOptions");
    QTest::addColumn<int>("initialPage");
    QTest::addColumn<int>("tab");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("tabs");
    using namespace report_options;
    QTest::newRow("all pages, CPU")
        << int(CollectModulesAndProcesses | CollectAssemblerAndCPU) << 5 << 5 << 5 << 6;
    QTest::newRow("no module pages, assembler") << int(CollectAssemblerAndCPU) << 4 << 2 << 4 << 4;
    QTest::newRow("no module pages, modules") << int(CollectAssemblerAndCPU) << 2 << 0 << 0 << 4;
    QTest::newRow("no assembler pages, CPU") << int(CollectModulesAndProcesses) << 5 << 0 << 0 << 4;
}

void DialogsTest::initialPageNamingAHiddenPage() {
    QFETCH(int, reportOptions);
    QFETCH(int, initialPage);
    QFETCH(int, tab);
    QFETCH(int, page);
    QFETCH(int, tabs);
    DialogFixture fixture;
    fixture.options.SetReportOptions(static_cast<std::uint8_t>(reportOptions));
    fixture.options.SetInitialPage(static_cast<TFaultDialogPage>(initialPage));
    fixture.options.SetDialogOptions(fixture.options.DialogOptions() |
                                     dialog_options::OpenDetailed);
    DetailedDialog dialog(*fixture.session);
    QCOMPARE(dialog.Tabs()->count(), tabs);
    QCOMPARE(dialog.Tabs()->currentIndex(), tab);
    QCOMPARE(dialog.CurrentPage(), page);
    QVERIFY(dialog.CurrentPageWidget() != nullptr);
}

void DialogsTest::compactAndDetailedModes() {
    DialogFixture fixture;
    DetailedDialog dialog(*fixture.session);
    dialog.show();
    QVERIFY(!dialog.Detailed());
    QCOMPARE(dialog.Header()->text(), QStringLiteral("Cannot open."));
    QCOMPARE(dialog.DetailsButton()->text(), QStringLiteral("&Details >>"));
    QVERIFY(!dialog.Tabs()->isVisible());
    QVERIFY(dialog.width() >= 340);
    QTest::mouseClick(dialog.DetailsButton(), Qt::LeftButton);
    QVERIFY(dialog.Detailed());
    QVERIFY(dialog.Tabs()->isVisible());
    QCOMPARE(dialog.DetailsButton()->text(), QStringLiteral("<< &Details"));
    QVERIFY(dialog.Header()->text().startsWith("An error has occurred during program execution."));
    // The stored size is the outer one, frame included.
    QCOMPARE(dialog.frameGeometry().height(), 468 + dialog.Features().bandHeight);
    QVERIFY(dialog.frameGeometry().width() >= 745);
    // The buttons keep to their row above the band.
    const int band = dialog.Features().bandHeight;
    QCOMPARE(dialog.OkButton()->geometry().bottom(), dialog.height() - band - 32 + 25 - 1);
}

void DialogsTest::placementStaysInsideTheWorkArea_data() {
    QTest::addColumn<QRect>("area");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("top");
    QTest::addColumn<QRect>("expected");
    const QRect area(0, 0, 1024, 768);
    QTest::newRow("inside") << area << 10 << 20 << QRect(10, 20, 745, 502);
    QTest::newRow("past the right edge") << area << 600 << 20 << QRect(279, 20, 745, 502);
    QTest::newRow("past the bottom") << area << 0 << 500 << QRect(0, 266, 745, 502);
    QTest::newRow("wider than the area")
        << QRect(100, 0, 600, 768) << 300 << 0 << QRect(100, 0, 600, 502);
    QTest::newRow("taller than the area")
        << QRect(0, 20, 1024, 400) << 10 << 30 << QRect(10, 20, 745, 400);
    QTest::newRow("centred when unknown") << area << -1 << -1 << QRect(139, 133, 745, 502);
}

void DialogsTest::placementStaysInsideTheWorkArea() {
    QFETCH(QRect, area);
    QFETCH(int, left);
    QFETCH(int, top);
    QFETCH(QRect, expected);
    StoredPlacement stored;
    if (left >= 0) {
        stored.left = left;
        stored.top = top;
    }
    QCOMPARE(PlaceInWorkArea(area, stored, 34), expected);
}

void DialogsTest::detailedWindowStateIsSavedAndRestored() {
    DialogFixture fixture;
    fixture.options.SetDialogOptions(fixture.options.DialogOptions() |
                                     dialog_options::OpenDetailed);
    {
        DetailedDialog dialog(*fixture.session);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QSize frame = dialog.frameGeometry().size() - dialog.size();
        dialog.resize(QSize(700, 420 + dialog.Features().bandHeight) - frame);
        dialog.move(30, 40);
        QTest::qWait(50);
        dialog.OkButton()->click();
    }
    const StateFile state(fixture.StatePath());
    QCOMPARE(state.Number("Coordinates", "Width", 0), 700);
    QCOMPARE(state.Number("Coordinates", "Height", 0), 420);
    QCOMPARE(state.Number("Coordinates", "WindowsState", 0), 1);
    DetailedDialog again(*fixture.session);
    again.show();
    QVERIFY(QTest::qWaitForWindowExposed(&again));
    QCOMPARE(again.frameGeometry(), QRect(30, 40, 700, 420 + again.Features().bandHeight));
}

void DialogsTest::restoredWindowLiesInsideTheWorkArea_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("top");
    QTest::newRow("past the right edge") << 900 << 420 << 500 << 10;
    QTest::newRow("past the bottom") << 700 << 420 << 0 << 5000;
    QTest::newRow("larger than the screen") << 5000 << 4000 << -300 << -300;
}

void DialogsTest::restoredWindowLiesInsideTheWorkArea() {
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, left);
    QFETCH(int, top);
    DialogFixture fixture;
    const StateFile state(fixture.StatePath());
    state.Write("Coordinates", "Width", width);
    state.Write("Coordinates", "Height", height);
    state.Write("Coordinates", "Left", left);
    state.Write("Coordinates", "Top", top);
    fixture.options.SetDialogOptions(fixture.options.DialogOptions() |
                                     dialog_options::OpenDetailed);
    DetailedDialog dialog(*fixture.session);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QRect area = dialog.screen()->availableGeometry();
    QVERIFY2(area.contains(dialog.frameGeometry()),
             qPrintable(QString("%1,%2 %3x%4")
                            .arg(dialog.frameGeometry().x())
                            .arg(dialog.frameGeometry().y())
                            .arg(dialog.frameGeometry().width())
                            .arg(dialog.frameGeometry().height())));
    // What comes back is the outer rectangle, frame included.
    const QRect outer = dialog.frameGeometry();
    dialog.OkButton()->click();
    QCOMPARE(state.Number("Coordinates", "Width", 0), outer.width());
    QCOMPARE(state.Number("Coordinates", "Height", 0),
             outer.height() - dialog.Features().bandHeight);
    QCOMPARE(state.Number("Coordinates", "Left", -1), outer.left());
    QCOMPARE(state.Number("Coordinates", "Top", -1), outer.top());
}

void DialogsTest::columnWidthsAreRestored() {
    DialogFixture fixture;
    QWidget holder;
    for (const int page : {int(CallStackPage), int(ModulesPage), int(ProcessesPage)}) {
        {
            std::unique_ptr<QWidget> widget(CreateReportPage(page, *fixture.session, &holder));
            auto* list = widget->findChild<QTreeWidget*>("content");
            QVERIFY(list != nullptr);
            list->setColumnWidth(1, 177);
            list->setColumnWidth(2, 33);
        }
        std::unique_ptr<QWidget> widget(CreateReportPage(page, *fixture.session, &holder));
        auto* list = widget->findChild<QTreeWidget*>("content");
        QCOMPARE(list->columnWidth(1), 177);
        QCOMPARE(list->columnWidth(2), 33);
    }
    QCOMPARE(StateFile(fixture.StatePath()).Number("Coordinates", "ColPro1", 0), 177);
}

void DialogsTest::defaultColumnWidthsShowTitlesAndCells() {
    struct Page {
        int page;
        std::vector<int> classicPixels;
    };
    DialogFixture fixture;
    QWidget holder;
    for (const Page& p : {Page{CallStackPage, {89, 92, 126, 126, 200, 61}},
                          Page{ModulesPage, {80, 96, 175, 50, 54, 80, 712}},
                          Page{ProcessesPage, {48, 134, 232, 56, 57, 47, 52, 330}}}) {
        std::unique_ptr<QWidget> widget(CreateReportPage(p.page, *fixture.session, &holder));
        auto* list = widget->findChild<QTreeWidget*>("content");
        const TListViewItems* items = TListViewItems::Of(list);
        QCOMPARE(list->columnCount(), int(p.classicPixels.size()));
        const QFontMetrics metrics(list->font());
        for (int column = 0; column < list->columnCount(); ++column) {
            const int width = list->columnWidth(column);
            QVERIFY(width >= p.classicPixels[std::size_t(column)]);
            // The title, with the header's own margins.
            QVERIFY2(width >= list->header()->sectionSizeHint(column),
                     qPrintable(list->headerItem()->text(column)));
            for (int row = 0; row < items->Count(); ++row) {
                const TListViewItemRec& rec = items->Row(row);
                if (rec.group || rec.empty) {
                    continue;
                }
                const QRect cell = list->visualRect(
                    list->model()->index(list->indexOfTopLevelItem(rec.item), column));
                const QString text = items->CellText(row, column);
                QVERIFY2(
                    metrics.horizontalAdvance(text) <=
                        items->TextArea(rec, column, QRect(0, 0, width, cell.height())).width(),
                    qPrintable(QString("page %1 column %2: %3").arg(p.page).arg(column).arg(text)));
            }
        }
    }
}

void DialogsTest::callStackGroupsCollapseAndExpand() {
    QTreeWidget list;
    list.setColumnCount(6);
    list.resize(600, 300);
    TListViewItems items(&list);
    items.Add({}, "Exception Thread: ID=1", true, 1, RowIcon::None);
    items.Add({"00401000", "app", "main.cpp", "", "Open", "12[1]"}, {}, false, 0,
              RowIcon::SourceUnit);
    items.Add({"00401100", "app", "main.cpp", "", "main", "3[0]"}, {}, false, 0,
              RowIcon::SourceUnit);
    items.Add({"", "", "", "", "", ""}, {}, false, 0, RowIcon::None);
    items.Add({}, "Running Thread: ID=2", true, 0, RowIcon::None);
    items.Add({"00402000", "libc.so.6", "", "", "clone", ""}, {}, false, 0, RowIcon::Library);
    items.Add({}, "Calling Thread: ID=2", true, 2, RowIcon::None);
    items.Add({"00401200", "app", "main.cpp", "", "Start", "9[2]"}, {}, false, 0,
              RowIcon::SourceUnit);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));

    QVERIFY(items.Row(3).empty);
    QVERIFY(items.Row(7).indent); // an entry of a calling thread is indented
    QVERIFY(items.Row(7).texts[0].startsWith(items.IndentText()));
    QVERIFY(!items.Row(5).indent);

    // A click beside the sign selects the row and toggles nothing.
    QWidget* viewport = list.viewport();
    const QRect first = list.visualItemRect(items.Row(0).item);
    QTest::mouseClick(viewport, Qt::LeftButton, {}, first.topLeft() + QPoint(200, 5));
    QVERIFY(items.Row(0).expanded);
    QCOMPARE(list.currentItem(), items.Row(0).item);
    // A click on the sign collapses the first group only.
    QTest::mouseClick(viewport, Qt::LeftButton, {},
                      first.topLeft() + QPoint(6, first.height() / 2));
    QVERIFY(!items.Row(0).expanded);
    QVERIFY(items.Row(1).item->isHidden());
    QVERIFY(items.Row(2).item->isHidden());
    QVERIFY(!items.Row(5).item->isHidden());
    QVERIFY(!items.Row(7).item->isHidden());
    // A double click anywhere on a group row toggles it.
    const QRect running = list.visualItemRect(items.Row(4).item);
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, running.center());
    QVERIFY(!items.Row(4).expanded);
    QVERIFY(items.Row(5).item->isHidden());
    QVERIFY(items.Row(7).item->isHidden());
    QVERIFY(items.Toggle(0, {}, false));
    QVERIFY(!items.Row(1).item->isHidden());
    QVERIFY(!items.Toggle(1, {}, false)); // an entry row is no group
}

void DialogsTest::dialogFromAWorkerThreadRunsOnTheGuiThread() {
    DialogFixture fixture;
    QThread* shownOn = nullptr;
    WhenShown(QStringLiteral("FT_DIALOG"), [&](QWidget* window) {
        shownOn = window->thread();
        static_cast<DetailedDialog*>(window)->OkButton()->click();
    });
    std::atomic<bool> returned = false;
    std::thread worker([&] { returned = ShowExceptionDialog(*fixture.session, false); });
    QTRY_VERIFY_WITH_TIMEOUT(returned, 10000);
    worker.join();
    QCOMPARE(shownOn, qApp->thread());
    QCOMPARE(int(fixture.choices.dialogType), 0);
}

void DialogsTest::sendProgressShowsCountedStatus() {
    DialogFixture fixture;
    fixture.ConfigureSending();
    QCOMPARE(CountedPrefix("Message", 2, 3), std::string("Message 2/3: "));
    SendProgressDisplay display(*fixture.session);
    std::thread sender([&] {
        display.OpenSendProgress(true);
        display.SetSendStatusCounted("Sending message...", 2, 3);
        display.SetSendProgress(40);
    });
    QTRY_VERIFY_WITH_TIMEOUT(
        display.IsOpen() && display.Window()->findChild<QProgressBar*>()->value() == 40, 10000);
    sender.join();
    QCOMPARE(display.Window()->windowTitle(), QStringLiteral("Send."));
    QCOMPARE(display.Window()->findChild<QLabel*>("status")->text(),
             QStringLiteral("Message 2/3: Sending message..."));
    display.CloseSendProgress();
    QTRY_VERIFY(!display.IsOpen());

    DialogFixture quiet;
    quiet.ConfigureSending();
    quiet.options.SetSendOptions(0);
    SendProgressDisplay hidden(*quiet.session);
    hidden.OpenSendProgress(true);
    QVERIFY(!hidden.IsOpen());
}

void DialogsTest::exceptionOnTheGuiThreadReachesTheWorker() {
    std::string caught;
    std::atomic<bool> finished = false;
    std::thread worker([&] {
        try {
            RunOnGuiThreadWithin([] { throw std::runtime_error("dialog failed"); },
                                 std::chrono::seconds(10));
        } catch (const std::runtime_error& error) {
            caught = error.what();
        }
        finished = true;
    });
    QTRY_VERIFY_WITH_TIMEOUT(finished, 10000);
    worker.join();
    QCOMPARE(caught, std::string("dialog failed"));
}

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
