#include "crashreport/dialogs/exception_dialog_base.h"

#include "crashreport/dialogs/dialog_fonts.h"
#include "crashreport/dialogs/own_look.h"
#include "crashreport/dialogs/qt_text.h"

#include <QEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QWindow>

namespace faulttrap {

ExceptionDialogBase::ExceptionDialogBase(DialogSession& session, bool ownLookAllowed,
                                         QWidget* parent)
    : QDialog(parent), session_(session),
      ownLook_(ownLookAllowed && session.Dialog(dialog_options::OwnLook)),
      client_(new QWidget(this)), autoClose_(this, session.options.AutoCloseSeconds()),
      keepInFront_(this) {
    setWindowTitle(ToQt(session.Text(TextId::DialogCaption)));
    setWindowModality(Qt::ApplicationModal);
    Qt::WindowFlags flags = Qt::Dialog;
    flags |= ownLook_ ? Qt::FramelessWindowHint
                      : Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
    if (session.Dialog(dialog_options::StayOnTop)) {
        flags |= Qt::WindowStaysOnTopHint;
    }
    setWindowFlags(flags);
}

void ExceptionDialogBase::Finish() {
    if (ownLook_) {
        ApplyOwnLook(this);
    }
}

void ExceptionDialogBase::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (timersStarted_) {
        return;
    }
    timersStarted_ = true;
    QTimer::singleShot(kVisibilityMilliseconds, this, [this] {
        if (!session_.choices.dialogPainted) {
            closingUnseen_ = true;
            NotVisible();
            closingUnseen_ = false;
        }
    });
    autoClose_.Start();
    if (keepInFrontWanted_ && !windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
        keepInFront_.Start();
    }
}

int ExceptionDialogBase::CaptionBand() const {
    return ownLook_ ? QFontMetrics(CaptionFont()).height() + 8 : 0;
}

void ExceptionDialogBase::ResizeClient(QSize size) {
    resize(size.width() + 2 * Border(), size.height() + CaptionBand() + 2 * Border());
}

void ExceptionDialogBase::SetClientMinimumSize(QSize size) {
    setMinimumSize(size.width() + 2 * Border(), size.height() + CaptionBand() + 2 * Border());
}

QSize ExceptionDialogBase::ClientSize() const {
    return client_->size();
}

bool ExceptionDialogBase::event(QEvent* event) {
    if (event->type() == QEvent::Paint) {
        session_.choices.dialogPainted = true;
    } else if (event->type() == QEvent::WindowActivate ||
               event->type() == QEvent::WindowDeactivate) {
        update();
    }
    return QDialog::event(event);
}

void ExceptionDialogBase::done(int result) {
    if (!closingUnseen_) {
        session_.choices.dialogPainted = true;
    }
    QDialog::done(result);
}

void ExceptionDialogBase::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    const int border = Border();
    client_->setGeometry(border, border + CaptionBand(), width() - 2 * border,
                         height() - CaptionBand() - 2 * border);
    LayOut();
}

void ExceptionDialogBase::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    if (!ownLook_) {
        return;
    }
    const bool active = isActiveWindow();
    QPainter painter(this);
    painter.fillRect(rect(), active ? QColor(0x80, 0x80, 0x80) : QColor(0x60, 0x60, 0x60));
    const QColor frame = active ? QColor(0x40, 0x40, 0x40) : QColor(0x30, 0x30, 0x30);
    painter.setPen(frame);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    PaintOwnLookCaption(
        painter, QRect(Border() - 1, Border() - 1, width() - 2 * Border() + 2, CaptionBand()),
        windowTitle(), active);
    painter.setPen(frame);
    painter.drawRect(client_->geometry().adjusted(-1, -1, 0, 0));
    painter.fillRect(client_->geometry(), kOwnLookBackground);
}

void ExceptionDialogBase::mousePressEvent(QMouseEvent* event) {
    if (ownLook_ && event->button() == Qt::LeftButton &&
        event->position().y() < Border() + CaptionBand() && windowHandle() != nullptr) {
        windowHandle()->startSystemMove();
        return;
    }
    QDialog::mousePressEvent(event);
}

void ExceptionDialogBase::setVisible(bool visible) {
    QDialog::setVisible(visible);
    if (!visible) {
        keepInFront_.Stop();
    }
}

} // namespace faulttrap
