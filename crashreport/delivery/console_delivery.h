#pragma once

// The delivery of a program without a window (a console or CGI program, or any program before
// its Qt application object exists): every route as in a program with a window, the events
// raised alike, with progress, warnings and the result written to the standard error.

#include "crashreport/delivery/delivery_progress.h"
#include "crashreport/intercept/processing_hooks.h"

#include <cstdio>

namespace faulttrap {

class ConsoleProgress : public TDeliveryProgress {
public:
    explicit ConsoleProgress(std::FILE* stream) : stream_(stream) {}

    void Open(bool keepInFront) override;
    void Close() override;
    void SetSendStatus(const std::string& text) override;
    void SetSendStatusCounted(const std::string& text, std::size_t number,
                              std::size_t count) override;
    // Written in steps of a quarter, not for every piece sent.
    void SetProgress(int percent) override;
    // The warnings are written as they are recorded (ConsoleNotices), not once more here.
    void ShowError(const std::string&, const std::string&) override {}
    bool IsUp() const override { return open_; }

private:
    std::FILE* stream_;
    bool open_ = false;
    int shownQuarter_ = -1;
};

class ConsoleNotices : public TDeliveryNotices {
public:
    explicit ConsoleNotices(std::FILE* stream) : stream_(stream) {}

    // A console has no clipboard of its own.
    void CopyToClipboard(const std::string&) override {}
    void ShowResult(const std::string& caption, const std::string& text, bool success) override;
    void ShowNotice(const std::string& caption, const std::string& text) override;
    void ShowWarning(const std::string& text);

private:
    std::FILE* stream_;
};

// The delivery driver of such a program; the processing uses it while no other is installed.
bool ConsoleDeliveryStep(const DeliveryRequest& request);

} // namespace faulttrap
