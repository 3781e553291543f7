#include "crashreport/dialogs/detailed_dialog.h"

#include "crashreport/dialogs/dialog_art.h"
#include "crashreport/dialogs/dialog_fonts.h"
#include "crashreport/dialogs/link_label.h"
#include "crashreport/dialogs/qt_text.h"
#include "crashreport/dialogs/report_pages.h"
#include "crashreport/dialogs/state_file.h"
#include "crashreport/dialogs/window_placement.h"
#include "crashreport/dialogs/work_area.h"
#include "crashreport/report/report_text.h"

#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QShortcut>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>
#include <vector>

namespace faulttrap {
namespace {

constexpr int kButtonHeight = 25;
constexpr int kHeaderTop = 8;
constexpr int kHeaderLeft = 48;
// The widest a compact dialog grows before its message wraps.
constexpr int kCompactLimit = 640 - 58;
constexpr int kCompactMinimum = 340;

int WindowStateNumber(Qt::WindowStates states) {
    if (states & Qt::WindowMaximized) {
        return 3;
    }
    if (states & Qt::WindowMinimized) {
        return 6;
    }
    return 1;
}

} // namespace

DetailedDialog::DetailedDialog(DialogSession& session, QWidget* parent)
    : ExceptionDialogBase(session, true, parent), features_(DetailedFeaturesOf(session)) {
    setObjectName(QStringLiteral("FT_DIALOG"));
    // Window flags cannot change while the dialog runs (that hides it), so the maximize box is
    // there from the start; a compact dialog has a fixed size and cannot be maximized anyway.
    if (!OwnLook()) {
        setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    }
    Build();
    if (features_.supportLink) {
        support_->GiveAccelerator(this);
    }
    Finish();
    SetDetailed(session.choices.openedFromClassic || session.Dialog(dialog_options::OpenDetailed));
    ok_->setFocus();
}

void DetailedDialog::Build() {
    QWidget* client = Client();
    header_ = new QLabel(client);
    header_->setObjectName(QStringLiteral("header"));
    header_->setWordWrap(true);
    header_->setTextFormat(Qt::PlainText);
    header_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    tabs_ = new QTabWidget(client);
    const TextId pageTexts[] = {TextId::GeneralPage,   TextId::CallStackPage, TextId::ModulesPage,
                                TextId::ProcessesPage, TextId::AssemblerPage, TextId::CpuPage};
    for (const int page : features_.tabPages) {
        auto* holder = new QWidget;
        auto* layout = new QVBoxLayout(holder);
        layout->setContentsMargins(0, 0, 0, 0);
        tabs_->addTab(holder, ToQt(session_.Text(pageTexts[page])));
    }
    tabs_->setCurrentIndex(features_.initialTab);
    ShowPage(features_.initialTab);
    connect(tabs_, &QTabWidget::currentChanged, this, &DetailedDialog::ShowPage);

    ok_ = new QPushButton(ToQt(session_.Text(TextId::OkButton)), client);
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, [this] {
        session_.choices.dialogType = 0;
        accept();
    });
    const bool terminate = session_.options.TerminateAction() == TFaultAction::Terminate;
    terminate_ = new QPushButton(
        ToQt(session_.Text(terminate ? TextId::TerminateButton : TextId::RestartButton)), client);
    terminate_->setVisible(features_.terminateButton);
    connect(terminate_, &QPushButton::clicked, this, [this] {
        session_.choices.dialogType = 0;
        session_.choices.restartRequested = true;
        accept();
    });
    custom_ = new QPushButton(ToQt(session_.Text(TextId::HelpButton)), client);
    custom_->setVisible(features_.customButton);
    connect(custom_, &QPushButton::clicked, this, [this] {
        if (session_.events.customButtonClick && session_.events.customButtonClick()) {
            session_.choices.dialogType = 0;
            accept();
        }
    });
    details_ = new QPushButton(client);
    details_->setVisible(features_.detailsButton);
    connect(details_, &QPushButton::clicked, this, [this] { SetDetailed(!detailed_); });
    for (QPushButton* button : {ok_, terminate_, custom_, details_}) {
        button->setFont(MessageFont());
        button->setAutoDefault(false);
    }

    const DialogChoices& choices = session_.choices;
    send_ = new QCheckBox(ToQt(session_.Text(TextId::SendCheck)), client);
    send_->setChecked(choices.sendReport && session_.Dialog(dialog_options::SendCheckedByDefault));
    send_->setVisible(features_.sendBox);
    screenshot_ = new QCheckBox(ToQt(session_.Text(TextId::ScreenshotCheck)), client);
    screenshot_->setChecked(choices.attachScreenshot &&
                            session_.Dialog(dialog_options::ScreenshotCheckedByDefault));
    screenshot_->setEnabled(send_->isChecked());
    screenshot_->setVisible(features_.sendBox && features_.screenshotBox);
    connect(send_, &QCheckBox::toggled, screenshot_, &QCheckBox::setEnabled);
    copy_ = new QCheckBox(ToQt(session_.Text(TextId::CopyToClipboardCheck)), client);
    copy_->setVisible(features_.copyBox);

    support_ = new LinkLabel(
        ToQt(session_.Text(TextId::SupportPageLink)), LinkFont(), QColor(0, 0, 0x80),
        [this] { OpenSupportPage(); }, client);
    support_->setObjectName(QStringLiteral("supportLink"));
    support_->setVisible(features_.supportLink);
    OrderFocus();

    // The pages change with Ctrl+Tab and Ctrl+Shift+Tab wherever the focus is.
    const auto pageKey = [this](QKeyCombination keys, int step) {
        auto* shortcut = new QShortcut(QKeySequence(keys), this);
        connect(shortcut, &QShortcut::activated, this, [this, step] { SwitchPage(step); });
    };
    pageKey(Qt::ControlModifier | Qt::Key_Tab, 1);
    pageKey(Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_Backtab, -1);
    pageKey(Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_Tab, -1);
}

int DetailedDialog::CurrentPage() const {
    const int tab = tabs_->currentIndex();
    return tab < 0 ? -1 : features_.tabPages[static_cast<std::size_t>(tab)];
}

void DetailedDialog::ShowPage(int tab) {
    // Only the selected page exists: the one before is destroyed (a list page saves its column
    // widths then). The focus stays in the page when it was there.
    // (The tab control has already handed the focus from the old page to the new holder.)
    const QWidget* focus = QApplication::focusWidget();
    const bool focusInPage =
        focus != nullptr && tabs_->isAncestorOf(focus) && focus != tabs_->tabBar();
    delete page_;
    page_ = nullptr;
    if (tab < 0) {
        return;
    }
    QWidget* holder = tabs_->widget(tab);
    page_ = CreateReportPage(features_.tabPages[static_cast<std::size_t>(tab)], session_, holder);
    holder->layout()->addWidget(page_);
    page_->show();
    OrderFocus();
    if (focusInPage) {
        PageContent()->setFocus(Qt::TabFocusReason);
    }
}

QWidget* DetailedDialog::PageContent() const {
    return page_ == nullptr ? nullptr : page_->findChild<QWidget*>(QStringLiteral("content"));
}

void DetailedDialog::OrderFocus() {
    if (ok_ == nullptr) {
        return;
    }
    // As the controls stand on the screen: the tabs and their page, the button row from the
    // left, then the check-box band row by row; the support link ends the row it sits on.
    std::vector<QWidget*> chain = {tabs_->tabBar()};
    if (QWidget* content = PageContent()) {
        chain.push_back(content);
    }
    chain.insert(chain.end(), {terminate_, custom_, ok_, details_, send_, copy_});
    if (features_.copyBox) {
        chain.insert(chain.end(), {screenshot_, support_});
    } else {
        chain.insert(chain.end(), {support_, screenshot_});
    }
    for (std::size_t i = 1; i < chain.size(); ++i) {
        setTabOrder(chain[i - 1], chain[i]);
    }
}

void DetailedDialog::SwitchPage(int step) {
    if (!detailed_ || tabs_->count() == 0) {
        return;
    }
    tabs_->setCurrentIndex((tabs_->currentIndex() + step + tabs_->count()) % tabs_->count());
}

int DetailedDialog::ButtonWidth() const {
    const QFontMetrics metrics(MessageFont());
    int width = 75;
    for (const TextId button : {TextId::OkButton, TextId::TerminateButton, TextId::RestartButton,
                                TextId::DetailsButton, TextId::HelpButton}) {
        const QString caption = WithoutAccelerator(ToQt(session_.Text(button))) + u'O';
        width = std::max(width, metrics.horizontalAdvance(caption));
    }
    return width;
}

void DetailedDialog::SetDetailed(bool detailed) {
    if (detailed_ && !detailed) {
        SaveState();
    }
    detailed_ = detailed;
    if (detailed) {
        details_->setText(QStringLiteral("<< ") + ToQt(session_.Text(TextId::DetailsButton)));
        header_->setText(ToQt(session_.Text(TextId::DetailsHeader)));
        setSizeGripEnabled(true);
        SetClientMinimumSize(QSize(kCompactMinimum + 100, 200 + features_.bandHeight));
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        tabs_->show();
        EnterDetailedPlacement();
    } else {
        details_->setText(ToQt(session_.Text(TextId::DetailsButton)) + QStringLiteral(" >>"));
        header_->setText(ToQt(session_.exceptionMessage));
        setSizeGripEnabled(false);
        setWindowState(Qt::WindowNoState);
        tabs_->hide();
        SizeCompact();
    }
    LayOut();
    update();
}

void DetailedDialog::SizeCompact() {
    // The message, line by line, and one line as wide as the check boxes of the band.
    const QFontMetrics metrics(MessageFont());
    QStringList lines = ToQt(session_.exceptionMessage).split(QRegularExpression("\r\n|\r|\n"));
    lines.append(WithoutAccelerator(ToQt(session_.Text(TextId::SendCheck))) +
                 QStringLiteral("    ") +
                 WithoutAccelerator(ToQt(session_.Text(TextId::CopyToClipboardCheck))));
    // Check boxes draw an indicator before their text, and the support link shares the second
    // row with the screenshot box: both rows must fit.
    const int indicator = style()->pixelMetric(QStyle::PM_IndicatorWidth) +
                          style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing);
    const QString indicatorRoom(indicator / std::max(1, metrics.horizontalAdvance(u' ')) + 1, u' ');
    lines.last() = indicatorRoom + lines.last() + indicatorRoom;
    if (features_.supportLink) {
        const QString link = ToQt(session_.Text(TextId::SupportPageLink));
        const int linkSpaces =
            QFontMetrics(LinkFont()).horizontalAdvance(link) / metrics.horizontalAdvance(u' ') + 1;
        lines.append(QString(23 / metrics.horizontalAdvance(u' ') + 1, u' ') + indicatorRoom +
                     WithoutAccelerator(ToQt(session_.Text(TextId::ScreenshotCheck))) +
                     QStringLiteral("    ") + QString(linkSpaces, u' '));
    }
    int textWidth = 0;
    int textHeight = 0;
    int widest = 0;
    for (const QString& line : lines) {
        const int width = metrics.horizontalAdvance(line.isEmpty() ? QStringLiteral(" ") : line);
        textHeight += metrics.height();
        if (width > widest) {
            widest = width;
            textWidth = width + 16;
            if (textWidth > kCompactLimit) {
                textWidth = kCompactLimit;
                textHeight += ((width + 16 - kCompactLimit) / kCompactLimit + 1) * metrics.height();
            }
        }
    }
    const int clientWidth = std::max(textWidth + 58, kCompactMinimum);
    const int clientHeight = std::max(textHeight - 39, 0) + 86 + features_.bandHeight;
    SetClientMinimumSize(QSize(clientWidth, clientHeight));
    ResizeClient(QSize(clientWidth, clientHeight));
    setFixedSize(size());
    const QRect area = ForegroundWorkArea();
    move(area.center() - rect().center());
}

void DetailedDialog::EnterDetailedPlacement() {
    // 745 pixels hold the call-stack columns with 8-digit addresses; wider addresses widen it.
    const int addressGrowth =
        QFontMetrics(ListFont()).horizontalAdvance(QString(kAddressDigits - 8, u'0'));
    const StoredPlacement stored = ReadPlacement(StateFile(), 745 + addressGrowth);
    setMinimumSize(0, 0);
    SetClientMinimumSize(QSize(kCompactMinimum + 100, 200 + features_.bandHeight));
    pendingOuter_ = PlaceInWorkArea(ForegroundWorkArea(), stored, features_.bandHeight);
    ApplyOuterGeometry();
    if (stored.windowState == 3) {
        setWindowState(Qt::WindowMaximized);
    } else if (stored.windowState == 6) {
        setWindowState(Qt::WindowMinimized);
    }
    RecordState();
}

void DetailedDialog::ApplyOuterGeometry() {
    // The stored rectangle is the frame's; the window manager's frame is known only once the
    // window shows, so the placement is made again when the frame appears.
    const QSize frame = frameGeometry().size() - size();
    resize(pendingOuter_->size() - frame);
    move(pendingOuter_->topLeft());
    framed_ = !frame.isNull();
}

bool DetailedDialog::event(QEvent* event) {
    const bool handled = ExceptionDialogBase::event(event);
    if (pendingOuter_ && !framed_ && detailed_ && windowState() == Qt::WindowNoState &&
        (event->type() == QEvent::Move || event->type() == QEvent::Resize ||
         event->type() == QEvent::WindowActivate) &&
        frameGeometry().size() != size()) {
        ApplyOuterGeometry();
        RecordState();
    }
    return handled;
}

void DetailedDialog::LayOut() {
    if (ok_ == nullptr) {
        return;
    }
    const int width = ClientSize().width();
    const int height = ClientSize().height();
    const int band = features_.bandHeight;
    const int buttonWidth = ButtonWidth();
    const int y = height - band - 32;

    tabs_->setGeometry(4, 52, width - 8, std::max(0, height - 90 - band));
    if (detailed_) {
        header_->setGeometry(kHeaderLeft, kHeaderTop, width - 56, 42);
    } else {
        header_->setGeometry(kHeaderLeft, kHeaderTop, width - 58, std::max(42, y - 16));
    }
    terminate_->setGeometry(5, y, buttonWidth, kButtonHeight);
    const int customX = features_.terminateButton ? buttonWidth + 13 : 5;
    custom_->setGeometry(customX, y, buttonWidth, kButtonHeight);
    int okX = (width - buttonWidth) / 2;
    int rightOfOthers = features_.customButton      ? customX + buttonWidth
                        : features_.terminateButton ? 5 + buttonWidth
                                                    : 0;
    if (rightOfOthers > 0 && okX < rightOfOthers + 8) {
        okX = rightOfOthers + 8;
    }
    ok_->setGeometry(okX, y, buttonWidth, kButtonHeight);
    details_->setGeometry(width - buttonWidth - 5, y, buttonWidth, kButtonHeight);

    const int boxWidth = (width - 8) / 2;
    send_->setGeometry(4, y + 34, boxWidth, 16);
    copy_->setGeometry(width - boxWidth - 4, y + 34, boxWidth, 16);
    screenshot_->setGeometry(23, y + 50, width / 2, 16);
    const int linkY = features_.copyBox ? y + 50 : y + 34;
    support_->setGeometry(width - support_->width() - 4, linkY, support_->width(), 13 + 4);
    if (detailed_) {
        RecordState();
    }
}

void DetailedDialog::RecordState() {
    // The outer rectangle, frame included.
    recordedState_ = WindowStateNumber(windowState());
    if (detailed_ && recordedState_ == 1) {
        recordedGeometry_ = frameGeometry();
        stateRecorded_ = true;
    }
}

void DetailedDialog::SaveState() {
    if (!stateRecorded_) {
        return;
    }
    WritePlacement(StateFile(), recordedGeometry_, features_.bandHeight, recordedState_);
}

void DetailedDialog::moveEvent(QMoveEvent* event) {
    ExceptionDialogBase::moveEvent(event);
    if (detailed_ && !(windowState() & Qt::WindowMaximized)) {
        RecordState();
    }
}

void DetailedDialog::changeEvent(QEvent* event) {
    ExceptionDialogBase::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && detailed_) {
        recordedState_ = WindowStateNumber(windowState());
    }
}

void DetailedDialog::paintEvent(QPaintEvent* event) {
    ExceptionDialogBase::paintEvent(event);
    QPainter painter(this);
    painter.drawPixmap(Client()->mapTo(this, QPoint(8, 8)), ErrorPicture());
}

void DetailedDialog::OpenSupportPage() {
    // The browser must be able to come in front of the dialog.
    if (windowHandle() != nullptr && windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint)) {
        windowHandle()->setFlags(windowHandle()->flags() & ~Qt::WindowStaysOnTopHint);
        KeepInFront().Start();
    }
    QDesktopServices::openUrl(QUrl(ToQt(session_.options.SupportURL())));
}

void DetailedDialog::NotVisible() {
    session_.choices.dialogType = 0;
    accept();
}

void DetailedDialog::done(int result) {
    DialogChoices& choices = session_.choices;
    choices.sendReport = send_->isChecked();
    choices.attachScreenshot = screenshot_->isChecked() && screenshot_->isEnabled();
    choices.copyToClipboard = copy_->isChecked();
    if (result == QDialog::Rejected) {
        // The close box and Escape act as OK.
        choices.dialogType = 0;
    }
    if (detailed_) {
        SaveState();
    }
    delete page_;
    page_ = nullptr;
    ExceptionDialogBase::done(QDialog::Accepted);
}

} // namespace faulttrap
