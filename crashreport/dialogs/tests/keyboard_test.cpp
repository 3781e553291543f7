// The dialogs driven from the keyboard only: real key events into the real widgets.

#include "crashreport/dialogs/classic_dialog.h"
#include "crashreport/dialogs/detailed_dialog.h"
#include "crashreport/dialogs/grouped_list.h"
#include "crashreport/dialogs/link_label.h"
#include "crashreport/dialogs/report_pages.h"
#include "crashreport/dialogs/reproduce_request.h"
#include "dialog_fixture.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
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

QTEST_MAIN(KeyboardTest)
#include "keyboard_test.moc"
