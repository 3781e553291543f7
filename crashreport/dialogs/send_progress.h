#pragma once

// The send progress window that the senders drive while a report is delivered. It lives on the
// GUI thread: called there it is modeless and every status change lets the window paint; called
// from another thread each call is carried to the GUI thread and waits for it.

#include "crashreport/dialogs/dialog_session.h"

#include <QPointer>

#include <functional>
#include <memory>
#include <string>

class QWidget;

namespace faulttrap {

class SendProgressWindow;

// The operations the e-mail and web senders call.
class SendProgress {
public:
    virtual ~SendProgress() = default;
    virtual void OpenSendProgress(bool keepInFront) = 0;
    virtual void SetSendStatus(const std::string& text) = 0;
    // "Message 2/3: " and the text.
    virtual void SetSendStatusCounted(const std::string& text, int number, int count) = 0;
    virtual void SetSendProgress(int percent) = 0;
    virtual void CloseSendProgress() = 0;
};

class SendProgressDisplay : public SendProgress {
public:
    explicit SendProgressDisplay(DialogSession& session);
    ~SendProgressDisplay() override;

    void OpenSendProgress(bool keepInFront) override;
    void SetSendStatus(const std::string& text) override;
    void SetSendStatusCounted(const std::string& text, int number, int count) override;
    void SetSendProgress(int percent) override;
    void CloseSendProgress() override;

    // The window while it is open (its existence lets failed deliveries show their message).
    QWidget* Window() const;
    bool IsOpen() const { return Window() != nullptr; }

private:
    void RunOnGui(const std::function<void()>& work);

    DialogSession& session_;
    QPointer<SendProgressWindow> window_;
};

// "Message 2/3: " from text 111.
std::string CountedPrefix(const std::string& messageText, int number, int count);

} // namespace faulttrap
