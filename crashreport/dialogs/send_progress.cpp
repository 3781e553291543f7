#include "crashreport/dialogs/send_progress.h"

#include "crashreport/dialogs/dialog_art.h"
#include "crashreport/dialogs/dialog_fonts.h"
#include "crashreport/dialogs/exception_dialog_base.h"
#include "crashreport/dialogs/gui_thread.h"
#include "crashreport/dialogs/qt_text.h"
#include "crashreport/dialogs/work_area.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>

#include <cstdio>

namespace faulttrap {

class SendProgressWindow : public ExceptionDialogBase {
public:
    SendProgressWindow(DialogSession& session, bool keepInFront)
        : ExceptionDialogBase(session, true, nullptr) {
        setObjectName(QStringLiteral("FT_SERVER"));
        setWindowTitle(ToQt(session.Text(TextId::SendCaption)));
        setWindowModality(Qt::NonModal);
        setAttribute(Qt::WA_DeleteOnClose);
        status_ = new QLabel(QStringLiteral("..."), Client());
        status_->setObjectName(QStringLiteral("status"));
        status_->setFont(MessageFont());
        bar_ = new QProgressBar(Client());
        bar_->setRange(0, 100);
        bar_->setValue(0);
        bar_->setTextVisible(false);
        ResizeClient(QSize(262, 58));
        setFixedSize(size());
        Finish();
        if (!keepInFront) {
            DontKeepInFront();
            const QRect area = ForegroundWorkArea();
            move(area.bottomRight() - QPoint(width(), height()) + QPoint(1, 1));
        } else {
            const QRect area = ForegroundWorkArea();
            move(area.center() - rect().center());
        }
    }

    QLabel* Status() const { return status_; }
    QProgressBar* Bar() const { return bar_; }

protected:
    void LayOut() override {
        status_->setGeometry(48, 9, ClientSize().width() - 56, 16);
        bar_->setGeometry(48, 28, ClientSize().width() - 56, 16);
    }
    void paintEvent(QPaintEvent* event) override {
        ExceptionDialogBase::paintEvent(event);
        QPainter painter(this);
        painter.drawPixmap(Client()->mapTo(this, QPoint(8, 8)), SendPicture());
    }
    void NotVisible() override {}

private:
    QLabel* status_;
    QProgressBar* bar_;
};

std::string CountedPrefix(const std::string& messageText, int number, int count) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, " %d/%d: ", number, count);
    return messageText + buffer;
}

SendProgressDisplay::SendProgressDisplay(DialogSession& session) : session_(session) {}

void SendProgressDisplay::RunOnGui(const std::function<void()>& work) {
    // A GUI thread that does not serve leaves the sender without its window, never waiting.
    RunOnGuiThreadWithin(work, std::chrono::milliseconds(session_.guiStartTimeoutMs));
}

SendProgressDisplay::~SendProgressDisplay() {
    CloseSendProgress();
}

QWidget* SendProgressDisplay::Window() const {
    return window_.data();
}

void SendProgressDisplay::OpenSendProgress(bool keepInFront) {
    if (!session_.Send(send_options::ShowSendProgress) || !session_.SendMethodConfigured() ||
        !session_.interactive || !HasGui()) {
        session_.choices.dialogPainted = true;
        return;
    }
    RunOnGui([&] {
        window_ = new SendProgressWindow(session_, keepInFront);
        window_->show();
        window_->raise();
        window_->activateWindow();
        QApplication::processEvents();
    });
}

void SendProgressDisplay::SetSendStatus(const std::string& text) {
    RunOnGui([&] {
        if (window_) {
            QApplication::processEvents();
            window_->Status()->setText(ToQt(text));
            QApplication::processEvents();
        }
    });
}

void SendProgressDisplay::SetSendStatusCounted(const std::string& text, int number, int count) {
    SetSendStatus(CountedPrefix(session_.Text(TextId::SendMessageLabel), number, count) + text);
}

void SendProgressDisplay::SetSendProgress(int percent) {
    RunOnGui([&] {
        if (window_) {
            window_->Bar()->setValue(std::clamp(percent, 0, 100));
            QApplication::processEvents();
        }
    });
}

void SendProgressDisplay::CloseSendProgress() {
    if (!window_ || !HasGui()) {
        return;
    }
    RunOnGui([&] {
        if (window_) {
            window_->close();
        }
    });
}

} // namespace faulttrap
