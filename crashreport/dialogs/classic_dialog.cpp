#include "crashreport/dialogs/classic_dialog.h"

#include "crashreport/dialogs/dialog_art.h"
#include "crashreport/dialogs/dialog_fonts.h"
#include "crashreport/dialogs/link_label.h"
#include "crashreport/dialogs/qt_text.h"
#include "crashreport/dialogs/state_file.h"
#include "crashreport/dialogs/text_box_keys.h"
#include "crashreport/dialogs/work_area.h"
#include "crashreport/report/report_text.h"

#include <QCheckBox>
#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>

#include <algorithm>

namespace faulttrap {
namespace {

constexpr int kHeaderHeight = 51;
constexpr int kTextWidth = 397;
constexpr int kRight = 405;
constexpr int kBorder = 2; // the width of an edit's border, as the layout counts it

QLabel* Text(QWidget* parent, const QString& text, const QFont& font, int x, int y, int width) {
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(x, y, width, label->heightForWidth(width));
    return label;
}

int ButtonWidth(const QString& caption) {
    const QFontMetrics metrics(MessageFont());
    return std::max(75, metrics.horizontalAdvance(WithoutAccelerator(caption)) + 4 * kBorder + 16);
}

} // namespace

ClassicDialog::ClassicDialog(DialogSession& session, QWidget* parent)
    : ExceptionDialogBase(session, false, parent), sendOffered_(session.SendOffered()) {
    setObjectName(QStringLiteral("FT_MS_DIALOG"));
    Build();
    if (link_ != nullptr) {
        link_->GiveAccelerator(this);
    }
    Finish();
    const QRect area = ForegroundWorkArea();
    move(area.center() - rect().center());
}

void ClassicDialog::Build() {
    QWidget* client = Client();
    const QFontMetrics metrics(MessageFont());
    const int line = metrics.height();

    header_ = Text(client, ToQt(session_.Text(TextId::ClassicHeader)), BoldFont(), 8, 0, 356);
    header_->move(8, (kHeaderHeight - header_->height()) / 2);

    int y = 59;
    QLabel* message =
        Text(client, ToQt(session_.exceptionMessage), MessageFont(), 8, y, kTextWidth);
    message->setObjectName(QStringLiteral("message"));
    y += message->height();

    if (session_.TerminateOffered()) {
        y += 10;
        const TextId choice = session_.options.TerminateAction() == TFaultAction::Terminate
                                  ? TextId::TerminateChoice
                                  : TextId::RestartChoice;
        restart_ = new QCheckBox(ToQt(session_.Text(choice)), client);
        restart_->setGeometry(8, y, kTextWidth, line + 4);
        y += restart_->height();
    }
    if (sendOffered_) {
        y += 10;
        QLabel* tell =
            Text(client, ToQt(session_.Text(TextId::TellUsHeading)), BoldFont(), 8, y, kTextWidth);
        y += tell->height() + 2;
        QLabel* created = Text(client, ToQt(session_.Text(TextId::ReportCreatedNote)),
                               MessageFont(), 8, y, kTextWidth);
        y += created->height();
    }
    if (session_.Dialog(dialog_options::OfferDetails)) {
        y += 12;
        const QString lead = ToQt(Trim(session_.Text(TextId::SeeReportLead))) + u' ';
        QLabel* see = Text(client, lead, MessageFont(), 8, y, kTextWidth);
        see->setWordWrap(false);
        see->adjustSize();
        link_ = new LinkLabel(
            ToQt(session_.Text(TextId::SeeReportLink)), UnderlinedFont(), QColor(0, 0, 0xFF),
            [this] { OpenDetails(); }, client);
        link_->setObjectName(QStringLiteral("detailsLink"));
        link_->move(8 + see->width(), y);
        y += see->height();
    }
    if (session_.Report(report_options::AskReproduceSteps)) {
        y += 12;
        QLabel* doing = Text(client, ToQt(session_.Text(TextId::DoingQuestion)), MessageFont(), 8,
                             y, kTextWidth);
        y += doing->height() + 2;
        description_ = new QPlainTextEdit(client);
        description_->setFont(PageFont());
        description_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        TabLeavesTheBox(description_);
        const int height = 4 * QFontMetrics(PageFont()).height() + 8 * kBorder;
        description_->setGeometry(8, y, kTextWidth, height);
        y += height - 4;
    }
    if (sendOffered_) {
        y += 12;
        auto* label = new QLabel(ToQt(session_.Text(TextId::EmailAddressLabel)) + u' ', client);
        label->setFont(MessageFont());
        label->adjustSize();
        const int height = line + 8 * kBorder / 2;
        email_ = new QLineEdit(client);
        email_->setObjectName(QStringLiteral("email"));
        email_->setGeometry(8 + label->width(), y, kRight - 8 - label->width(), height);
        label->move(8, y + (height - label->height()) / 2);
        email_->setText(StateFile().Text(QStringLiteral("User"), QStringLiteral("Email")));
        y += height;
    }

    y += 12;
    const int buttonHeight = line + 4 * kBorder + 6;
    help_ = new QPushButton(ToQt(session_.Text(TextId::HelpButton)), client);
    help_->setGeometry(8, y, ButtonWidth(help_->text()), buttonHeight);
    help_->setVisible(session_.Dialog(dialog_options::OfferCustomButton));
    connect(help_, &QPushButton::clicked, this, [this] {
        if (session_.events.customButtonClick && session_.events.customButtonClick()) {
            session_.choices.dialogType = 0;
            Commit();
        }
    });

    const bool dontSendCaption = session_.choices.sendReport && sendOffered_;
    dontSend_ = new QPushButton(
        ToQt(session_.Text(dontSendCaption ? TextId::DontSendButton : TextId::OkButton)), client);
    const int dontSendWidth = ButtonWidth(dontSend_->text());
    dontSend_->setGeometry(kRight - dontSendWidth, y, dontSendWidth, buttonHeight);
    connect(dontSend_, &QPushButton::clicked, this, [this] {
        session_.choices.dialogType = 0;
        if (sendOffered_) {
            session_.choices.sendReport = false;
        }
        Commit();
    });

    send_ = new QPushButton(ToQt(session_.Text(TextId::SendButton)), client);
    const int sendWidth = ButtonWidth(send_->text());
    send_->setGeometry(dontSend_->x() - 8 - sendWidth, y, sendWidth, buttonHeight);
    connect(send_, &QPushButton::clicked, this, [this] {
        session_.choices.dialogType = 0;
        session_.choices.sendReport = true;
        Commit();
    });
    if (sendOffered_) {
        send_->setDefault(true);
        send_->setFocus();
    } else {
        send_->hide();
        send_->setEnabled(false);
        dontSend_->setDefault(true);
        dontSend_->setFocus();
    }
    // The focus goes down the dialog as the controls stand, the buttons from the left.
    QWidget* previous = nullptr;
    for (QWidget* next : std::initializer_list<QWidget*>{restart_, link_, description_, email_,
                                                         help_, send_, dontSend_}) {
        if (next == nullptr) {
            continue;
        }
        if (previous != nullptr) {
            setTabOrder(previous, next);
        }
        previous = next;
    }
    ResizeClient(QSize(kClientWidth, y + buttonHeight + 10));
    setFixedSize(size());
}

void ClassicDialog::paintEvent(QPaintEvent* event) {
    ExceptionDialogBase::paintEvent(event);
    QPainter painter(this);
    const QRect band(Client()->mapTo(this, QPoint(0, 0)), QSize(kClientWidth, kHeaderHeight));
    painter.fillRect(band, Qt::white);
    painter.setPen(Qt::black);
    painter.drawRect(band.adjusted(0, 0, -1, -1));
    painter.drawPixmap(band.topLeft() + QPoint(372, 9), ErrorPicture());
}

void ClassicDialog::OpenDetails() {
    session_.choices.dialogType = 3;
    Commit();
}

void ClassicDialog::NotVisible() {
    session_.choices.dialogType = 0;
    Commit();
}

void ClassicDialog::reject() {
    // The close box and Escape.
    session_.choices.dialogType = 0;
    Commit();
}

bool ClassicDialog::CommitEmail() {
    if (email_ == nullptr) {
        return true;
    }
    const std::string address = Trim(FromQt(email_->text()));
    if (address.empty()) {
        return true;
    }
    if (address.find('@') == std::string::npos || address.find('.') == std::string::npos) {
        QMessageBox box(QMessageBox::Critical, ToQt(session_.Text(TextId::ErrorCaption)),
                        ToQt(session_.Text(TextId::InvalidEmail)), QMessageBox::Ok, this);
        box.setObjectName(QStringLiteral("invalidEmail"));
        box.exec();
        return false;
    }
    session_.choices.userEmail = address;
    session_.report.ReplaceEmail(address);
    StateFile().Write(QStringLiteral("User"), QStringLiteral("Email"), ToQt(address));
    return true;
}

void ClassicDialog::Commit() {
    if (!CommitEmail()) {
        return;
    }
    if (description_ != nullptr) {
        session_.TakeReproduceText(FromQt(description_->toPlainText()));
    }
    if (!session_.choices.restartRequested && restart_ != nullptr) {
        session_.choices.restartRequested = restart_->isChecked();
    }
    done(QDialog::Accepted);
}

} // namespace faulttrap
