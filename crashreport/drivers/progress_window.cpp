#include "crashreport/drivers/progress_window.h"

#include "crashreport/dialogs/gui_thread.h"
#include "crashreport/dialogs/qt_text.h"

#include <QMessageBox>

namespace faulttrap {

void ProgressWindow::Open(bool keepInFront) {
    display_.OpenSendProgress(keepInFront);
    open_ = display_.IsOpen();
}

void ProgressWindow::Close() {
    if (open_) {
        display_.CloseSendProgress();
    }
    open_ = false;
}

void ProgressWindow::SetSendStatus(const std::string& text) {
    if (open_) {
        display_.SetSendStatus(text);
    }
}

void ProgressWindow::SetSendStatusCounted(const std::string& text, std::size_t number,
                                          std::size_t count) {
    if (open_) {
        display_.SetSendStatusCounted(text, static_cast<int>(number), static_cast<int>(count));
    }
}

void ProgressWindow::SetProgress(int percent) {
    if (open_) {
        display_.SetSendProgress(percent);
    }
}

void ProgressWindow::ShowError(const std::string& caption, const std::string& text) {
    if (!open_) {
        return;
    }
    RunOnGuiThreadWithin(
        [&] {
            QMessageBox box(QMessageBox::Critical, ToQt(caption), ToQt(text), QMessageBox::Ok,
                            display_.Window());
            box.setObjectName(QStringLiteral("sendErrorBox"));
            box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
            box.exec();
        },
        std::chrono::milliseconds(session_.guiStartTimeoutMs));
}

} // namespace faulttrap
