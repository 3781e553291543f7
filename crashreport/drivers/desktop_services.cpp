#include "crashreport/drivers/desktop_services.h"

#include "crashreport/dialogs/gui_thread.h"
#include "crashreport/dialogs/qt_text.h"

#include <QApplication>
#include <QClipboard>
#include <QMessageBox>

#include <cstdio>

namespace faulttrap {

void ShowDeliveryMessage(const std::string& caption, const std::string& text, bool information,
                         std::chrono::milliseconds guiStartTimeout) {
    const bool shown =
        HasGui() &&
        RunOnGuiThreadWithin(
            [&] {
                QMessageBox box(information ? QMessageBox::Information : QMessageBox::Critical,
                                ToQt(caption), ToQt(text), QMessageBox::Ok);
                box.setObjectName(QStringLiteral("deliveryMessage"));
                box.setWindowModality(Qt::ApplicationModal);
                box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
                box.exec();
            },
            guiStartTimeout);
    if (!shown) {
        std::fprintf(stderr, "%s %s\n", caption.c_str(), text.c_str());
    }
}

void CopyTextToClipboard(const std::string& text, std::chrono::milliseconds guiStartTimeout) {
    if (!HasGui()) {
        return;
    }
    const QString plain = ToQt(text);
    RunOnGuiThreadWithin([&plain] { QApplication::clipboard()->setText(plain); }, guiStartTimeout);
}

void QtDeliveryDesktop::CopyToClipboard(const std::string& text) {
    CopyTextToClipboard(text, guiStartTimeout);
}

void QtDeliveryDesktop::ShowResult(const std::string& caption, const std::string& text,
                                   bool success) {
    ShowDeliveryMessage(caption, text, success, guiStartTimeout);
}

void QtDeliveryDesktop::ShowNotice(const std::string& caption, const std::string& text) {
    ShowDeliveryMessage(caption, text, true, guiStartTimeout);
}

} // namespace faulttrap
