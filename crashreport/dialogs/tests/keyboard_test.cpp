// The dialogs driven from the keyboard only: real key events into the real widgets.

#include "crashreport/dialogs/classic_dialog.h"
#include "crashreport/dialogs/detailed_dialog.h"
#include "crashreport/dialogs/grouped_list.h"
#include "crashreport/dialogs/link_label.h"
#include "crashreport/dialogs/report_pages.h"
#include "crashreport/dialogs/reproduce_request.h"
#include "crashreport/dialogs/tests/dialog_fixture.h"

#include <QApplication>
#include <QDesktopServices>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

using namespace faulttrap;
using namespace faulttrap::testing;

namespace {

// A detailed dialog in detailed mode on `page`, shown and active.
std::unique_ptr<DetailedDialog> OpenOnPage(DialogFixture& fixture, int page) {
    fixture.options.SetDialogOptions(fixture.options.DialogOptions() |
                                     dialog_options::OpenDetailed);
    fixture.options.SetInitialPage(static_cast<TFaultDialogPage>(page));
    auto dialog = std::make_unique<DetailedDialog>(*fixture.session);
    dialog->show();
    dialog->activateWindow();
    if (!QTest::qWaitForWindowActive(dialog.get())) {
        return nullptr;
    }
    return dialog;
}

bool ShowActive(QWidget* window) {
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

int FirstGroupRow(const TListViewItems& items) {
    for (int row = 0; row < items.Count(); ++row) {
        if (items.Row(row).group) {
            return row;
        }
    }
    return -1;
}

// Takes the URLs the program opens, as a browser would.
class UrlCatcher : public QObject {
    Q_OBJECT

public:
    UrlCatcher() { QDesktopServices::setUrlHandler("https", this, "Open"); }
    ~UrlCatcher() override { QDesktopServices::unsetUrlHandler("https"); }
    QList<QUrl> opened;

public slots:
    void Open(const QUrl& url) { opened.append(url); }
};

// Presses Tab from the focus until `target` has it; false when the focus went round without.
bool TabTo(QWidget* target) {
    for (int step = 0; step < 30; ++step) {
        if (QApplication::focusWidget() == target) {
            return true;
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    return false;
}

// A focus frame is drawn: the link looks different with the focus.
bool ShowsFocusFrame(QWidget* link) {
    const QImage focused = link->grab().toImage();
    QTest::keyClick(link, Qt::Key_Tab);
    if (link->hasFocus()) {
        return false;
    }
    return focused != link->grab().toImage();
}

// The widgets Tab visits from the focus, once round.
QList<QWidget*> FocusCycle() {
    QList<QWidget*> cycle;
    QWidget* start = QApplication::focusWidget();
    for (QWidget* at = start; at != nullptr && cycle.size() < 40;) {
        cycle.append(at);
        QTest::keyClick(at, Qt::Key_Tab);
        at = QApplication::focusWidget();
        if (at == start) {
            return cycle;
        }
    }
    return {}; // the focus never came back
}

// Every control of `window` that Tab may stop at.
QSet<QWidget*> FocusStops(QWidget* window) {
    QSet<QWidget*> stops;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (widget->isVisible() && widget->isEnabled() && (widget->focusPolicy() & Qt::TabFocus) &&
            widget->focusProxy() == nullptr) {
            stops.insert(widget);
        }
    }
    return stops;
}

QRect OnScreen(const QWidget* widget) {
    return QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
}

// `a` comes before `b` on the screen: a row above it, or the same row further left.
bool ComesBefore(const QWidget* a, const QWidget* b) {
    const QRect first = OnScreen(a);
    const QRect second = OnScreen(b);
    const bool sameRow = first.top() < second.bottom() && second.top() < first.bottom();
    return sameRow ? first.left() < second.left() : first.top() < second.top();
}

// Tab goes round every control in screen order: from the top-left one down to the last.
QString ScreenOrderFault(QWidget* window) {
    QWidget* first = nullptr;
    for (QWidget* stop : FocusStops(window)) {
        if (first == nullptr || ComesBefore(stop, first)) {
            first = stop;
        }
    }
    if (first == nullptr) {
        return "no control takes the focus";
    }
    first->setFocus(Qt::TabFocusReason);
    const QList<QWidget*> cycle = FocusCycle();
    if (QSet<QWidget*>(cycle.begin(), cycle.end()) != FocusStops(window)) {
        return QString("Tab visits %1 of %2 controls")
            .arg(cycle.size())
            .arg(FocusStops(window).size());
    }
    for (qsizetype i = 1; i < cycle.size(); ++i) {
        if (!ComesBefore(cycle[i - 1], cycle[i])) {
            return QString("%1 %2 before %3 %4")
                .arg(cycle[i - 1]->metaObject()->className(), cycle[i - 1]->objectName(),
                     cycle[i]->metaObject()->className(), cycle[i]->objectName());
        }
    }
    return {};
}

void OfferEverything(DialogFixture& fixture) {
    fixture.ConfigureSending();
    fixture.options.SetSupportURL("https://support.example/help");
    fixture.options.SetTerminateAction(TFaultAction::Restart);
    fixture.session->exceptionCount = 99;
    fixture.options.SetDialogOptions(fixture.options.DialogOptions() |
                                     dialog_options::OfferCustomButton |
                                     dialog_options::OfferScreenshot);
    fixture.options.SetReportOptions(fixture.options.ReportOptions() |
                                     report_options::AskReproduceSteps);
}

} // namespace

class KeyboardTest : public QObject {
    Q_OBJECT

private slots:
    void enterOnAGroupRowFoldsItAndTheDialogStaysOpen();
    void leftAndRightFoldAndUnfold();
    void enterOnAnEntryRowActsAsADoubleClick();
    void tabLeavesTheDescriptionBox();
    void detailsLinkOpensFromTheKeyboard_data();
    void detailsLinkOpensFromTheKeyboard();
    void supportLinkOpensFromTheKeyboard();
    void classicFocusFollowsTheScreen();
    void detailedFocusFollowsTheScreenOnEveryPage_data();
    void detailedFocusFollowsTheScreenOnEveryPage();
    void requestFocusFollowsTheScreen();
    void ctrlTabSwitchesPagesFromAnywhere();
    void ctrlPlusFitsTheColumns();
    void tabLeavesTheStepsBox();
};

void KeyboardTest::enterOnAGroupRowFoldsItAndTheDialogStaysOpen() {
    DialogFixture fixture;
    auto dialog = OpenOnPage(fixture, CallStackPage);
    QVERIFY(dialog);
    auto* list = dialog->CurrentPageWidget()->findChild<QTreeWidget*>("content");
    QVERIFY(list != nullptr);
    TListViewItems* items = TListViewItems::Of(list);
    QVERIFY(items != nullptr);
    const int group = FirstGroupRow(*items);
    QVERIFY(group >= 0);
    QVERIFY(!items->Row(group + 1).group);
    list->setFocus();
    list->setCurrentItem(items->Row(group).item);

    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
        QTest::keyClick(list, key);
        QVERIFY(!items->Row(group).expanded);
        QVERIFY(items->Row(group + 1).item->isHidden());
        QVERIFY(dialog->isVisible());
        QTest::keyClick(list, key);
        QVERIFY(items->Row(group).expanded);
        QVERIFY(!items->Row(group + 1).item->isHidden());
    }
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->result(), 0);
}

void KeyboardTest::leftAndRightFoldAndUnfold() {
    DialogFixture fixture;
    auto dialog = OpenOnPage(fixture, CallStackPage);
    QVERIFY(dialog);
    auto* list = dialog->CurrentPageWidget()->findChild<QTreeWidget*>("content");
    TListViewItems* items = TListViewItems::Of(list);
    const int group = FirstGroupRow(*items);
    list->setFocus();
    // Left on an entry goes up to its group, Left on the open group folds it.
    list->setCurrentItem(items->Row(group + 2).item);
    QTest::keyClick(list, Qt::Key_Left);
    QCOMPARE(list->currentItem(), items->Row(group).item);
    QVERIFY(items->Row(group).expanded);
    QTest::keyClick(list, Qt::Key_Left);
    QVERIFY(!items->Row(group).expanded);
    QVERIFY(items->Row(group + 1).item->isHidden());
    // Right unfolds it, Right again goes down to its first entry.
    QTest::keyClick(list, Qt::Key_Right);
    QVERIFY(items->Row(group).expanded);
    QCOMPARE(list->currentItem(), items->Row(group).item);
    QTest::keyClick(list, Qt::Key_Right);
    QCOMPARE(list->currentItem(), items->Row(group + 1).item);
    // The arrows still move between rows.
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(list->currentItem(), items->Row(group + 2).item);
    QVERIFY(dialog->isVisible());
}

void KeyboardTest::enterOnAnEntryRowActsAsADoubleClick() {
    DialogFixture fixture;
    for (const int page : {int(CallStackPage), int(ModulesPage), int(ProcessesPage)}) {
        auto dialog = OpenOnPage(fixture, page);
        QVERIFY(dialog);
        auto* list = dialog->CurrentPageWidget()->findChild<QTreeWidget*>("content");
        TListViewItems* items = TListViewItems::Of(list);
        int entry = 0;
        while (entry < items->Count() && (items->Row(entry).group || items->Row(entry).empty)) {
            ++entry;
        }
        QVERIFY(entry < items->Count());
        QTreeWidgetItem* item = items->Row(entry).item;
        QSignalSpy activated(list, &QTreeWidget::itemActivated);
        list->setFocus();
        list->setCurrentItem(item);
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(activated.count(), 1);
        QCOMPARE(activated.at(0).at(0).value<QTreeWidgetItem*>(), item);
        QVERIFY2(dialog->isVisible(), "Return reached the default button");
        const QPoint centre = list->visualItemRect(item).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
        QCOMPARE(activated.count(), 2);
        QCOMPARE(activated.at(1).at(0).value<QTreeWidgetItem*>(), item);
        QVERIFY(dialog->isVisible());
        QTest::keyClick(dialog->OkButton(), Qt::Key_Return);
    }
}

void KeyboardTest::tabLeavesTheDescriptionBox() {
    DialogFixture fixture;
    fixture.ConfigureSending();
    fixture.options.SetReportOptions(fixture.options.ReportOptions() |
                                     report_options::AskReproduceSteps);
    ClassicDialog dialog(*fixture.session);
    QVERIFY(ShowActive(&dialog));
    QPlainTextEdit* box = dialog.DescriptionBox();
    QVERIFY(box != nullptr);
    box->setFocus();
    QTest::keyClicks(box, "opened");
    QTest::keyClick(box, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), dialog.EmailBox());
    QTest::keyClick(dialog.EmailBox(), Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), box);
    QTest::keyClick(box, Qt::Key_Backtab, Qt::ShiftModifier);
    QVERIFY(QApplication::focusWidget() != box);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_End);
    QTest::keyClick(box, Qt::Key_Tab, Qt::ControlModifier);
    QTest::keyClicks(box, "x");
    QCOMPARE(box->toPlainText(), QString("opened\tx"));
    QCOMPARE(QApplication::focusWidget(), box);
}

void KeyboardTest::tabLeavesTheStepsBox() {
    DialogFixture fixture;
    ReproduceRequestDialog dialog(*fixture.session);
    QVERIFY(ShowActive(&dialog));
    QPlainTextEdit* box = dialog.StepsBox();
    QCOMPARE(QApplication::focusWidget(), box);
    QTest::keyClicks(box, "1. open");
    QTest::keyClick(box, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), dialog.OkButton());
    QTest::keyClick(dialog.OkButton(), Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), box);
    QCOMPARE(box->toPlainText(), QString("1. open"));
    QTest::keyClick(box, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(box->toPlainText(), QString("1. open\t"));
}

void KeyboardTest::detailsLinkOpensFromTheKeyboard_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("Enter") << int(Qt::Key_Return) << int(Qt::NoModifier);
    QTest::newRow("Space") << int(Qt::Key_Space) << int(Qt::NoModifier);
    QTest::newRow("Alt+C") << int(Qt::Key_C) << int(Qt::AltModifier);
}

void KeyboardTest::detailsLinkOpensFromTheKeyboard() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    DialogFixture fixture;
    fixture.ConfigureSending();
    ClassicDialog dialog(*fixture.session);
    QVERIFY(ShowActive(&dialog));
    QCOMPARE(QApplication::focusWidget(), dialog.SendButton());
    QVERIFY(TabTo(dialog.DetailsLink()));
    QVERIFY(ShowsFocusFrame(dialog.DetailsLink()));
    QVERIFY(TabTo(dialog.DetailsLink()));
    if (modifiers == Qt::AltModifier) {
        dialog.SendButton()->setFocus();
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QVERIFY(!dialog.isVisible());
    QCOMPARE(fixture.choices.dialogType, 3);
}

void KeyboardTest::supportLinkOpensFromTheKeyboard() {
    DialogFixture fixture;
    fixture.ConfigureSending();
    fixture.options.SetSupportURL("https://support.example/help");
    UrlCatcher browser;
    DetailedDialog dialog(*fixture.session);
    QVERIFY(ShowActive(&dialog));
    QVERIFY(TabTo(dialog.SupportLink()));
    QVERIFY(ShowsFocusFrame(dialog.SupportLink()));
    QVERIFY(TabTo(dialog.SupportLink()));
    QTest::keyClick(dialog.SupportLink(), Qt::Key_Return);
    QTest::keyClick(dialog.SupportLink(), Qt::Key_Space);
    dialog.OkButton()->setFocus();
    QTest::keyClick(dialog.OkButton(), Qt::Key_G, Qt::AltModifier);
    QCOMPARE(browser.opened.size(), 3);
    for (const QUrl& url : browser.opened) {
        QCOMPARE(url, QUrl("https://support.example/help"));
    }
    QVERIFY(dialog.isVisible());
}

void KeyboardTest::classicFocusFollowsTheScreen() {
    DialogFixture fixture;
    OfferEverything(fixture);
    ClassicDialog dialog(*fixture.session);
    QVERIFY(ShowActive(&dialog));
    QVERIFY(dialog.RestartBox() != nullptr && dialog.HelpButton()->isVisible());
    const QString fault = ScreenOrderFault(&dialog);
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
    // From the default button Tab goes on to the button beside it, not back to the top.
    dialog.SendButton()->setFocus();
    QTest::keyClick(dialog.SendButton(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), dialog.DontSendButton());
}

void KeyboardTest::detailedFocusFollowsTheScreenOnEveryPage_data() {
    QTest::addColumn<bool>("detailed");
    QTest::addColumn<bool>("copy");
    QTest::newRow("compact") << false << true;
    QTest::newRow("detailed") << true << true;
    QTest::newRow("detailed without copy box") << true << false;
}

void KeyboardTest::detailedFocusFollowsTheScreenOnEveryPage() {
    QFETCH(bool, detailed);
    QFETCH(bool, copy);
    DialogFixture fixture;
    OfferEverything(fixture);
    if (!copy) {
        fixture.options.SetDialogOptions(fixture.options.DialogOptions() &
                                         ~dialog_options::OfferCopyToClipboard);
    }
    DetailedDialog dialog(*fixture.session);
    dialog.SetDetailed(detailed);
    QVERIFY(ShowActive(&dialog));
    QVERIFY(dialog.TerminateButton()->isVisible() && dialog.CustomButton()->isVisible());
    QVERIFY(dialog.SupportLink()->isVisible());
    const int pages = detailed ? dialog.Tabs()->count() : 1;
    for (int tab = 0; tab < pages; ++tab) {
        dialog.Tabs()->setCurrentIndex(tab);
        const QString fault = ScreenOrderFault(&dialog);
        QVERIFY2(fault.isEmpty(), qPrintable(QString("page %1: %2").arg(tab).arg(fault)));
    }
}

void KeyboardTest::requestFocusFollowsTheScreen() {
    DialogFixture fixture;
    ReproduceRequestDialog dialog(*fixture.session);
    QVERIFY(ShowActive(&dialog));
    const QString fault = ScreenOrderFault(&dialog);
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
}

void KeyboardTest::ctrlTabSwitchesPagesFromAnywhere() {
    DialogFixture fixture;
    auto dialog = OpenOnPage(fixture, GeneralPage);
    QVERIFY(dialog);
    QTabWidget* tabs = dialog->Tabs();
    const int count = tabs->count();
    QVERIFY(count >= 2);
    dialog->OkButton()->setFocus();
    QTest::keyClick(dialog->OkButton(), Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(tabs->currentIndex(), 1);
    QCOMPARE(QApplication::focusWidget(), dialog->OkButton());
    QTest::keyClick(dialog->OkButton(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(tabs->currentIndex(), 0);
    QTest::keyClick(dialog->OkButton(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(tabs->currentIndex(), count - 1);
    // From inside a page the focus moves on to the next page's content.
    QWidget* content = dialog->CurrentPageWidget()->findChild<QWidget*>("content");
    content->setFocus();
    QTest::keyClick(content, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(tabs->currentIndex(), 0);
    QWidget* next = dialog->CurrentPageWidget()->findChild<QWidget*>("content");
    QCOMPARE(QApplication::focusWidget(), next);
    QTest::keyClick(next, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(tabs->currentIndex(), 1);
    QVERIFY(dialog->isVisible());
}

void KeyboardTest::ctrlPlusFitsTheColumns() {
    DialogFixture fixture;
    auto dialog = OpenOnPage(fixture, ModulesPage);
    QVERIFY(dialog);
    auto* list = dialog->CurrentPageWidget()->findChild<QTreeWidget*>("content");
    const TListViewItems* items = TListViewItems::Of(list);
    for (int column = 0; column < list->columnCount(); ++column) {
        list->setColumnWidth(column, 12);
    }
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Plus, Qt::ControlModifier);
    const QFontMetrics metrics(list->font());
    for (int column = 0; column < list->columnCount(); ++column) {
        const int width = list->columnWidth(column);
        QVERIFY(width >= list->header()->sectionSizeHint(column));
        for (int row = 0; row < items->Count(); ++row) {
            const QRect cell(0, 0, width, 20);
            QVERIFY(metrics.horizontalAdvance(items->CellText(row, column)) <=
                    items->TextArea(items->Row(row), column, cell).width());
        }
    }
    // Fitting what fits already changes nothing, and the dialog stays.
    const int fitted = list->columnWidth(1);
    QTest::keyClick(list, Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
    QCOMPARE(list->columnWidth(1), fitted);
    QVERIFY(dialog->isVisible());
}

QTEST_MAIN(KeyboardTest)
#include "keyboard_test.moc"
