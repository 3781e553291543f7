#include "crashreport/delivery/console_delivery.h"

#include "crashreport/delivery/delivery_kit.h"

#include <memory>

namespace faulttrap {

namespace {

constexpr const char* Prefix = "FaultTrap: ";

struct ConsoleKit {
    explicit ConsoleKit(const DeliveryRequest& request)
        : core(request, false), progress(stderr), notices(stderr) {
        core.events.echoWarning = [this](const std::string& text) { notices.ShowWarning(text); };
        core.Attach(progress, notices);
    }

    DeliveryKit core;
    ConsoleProgress progress;
    ConsoleNotices notices;
};

// Installed before main() runs: a program's own driver (its window's) replaces it later.
[[maybe_unused]] const bool installed = [] {
    SetDefaultDeliveryDriver(ConsoleDeliveryStep);
    return true;
}();

} // namespace

void ConsoleProgress::Open(bool) {
    open_ = true;
    shownQuarter_ = -1;
}

void ConsoleProgress::Close() {
    open_ = false;
}

void ConsoleProgress::SetSendStatus(const std::string& text) {
    if (open_) {
        std::fprintf(stream_, "%s%s\n", Prefix, text.c_str());
    }
}

void ConsoleProgress::SetSendStatusCounted(const std::string& text, std::size_t number,
                                           std::size_t count) {
    if (open_) {
        std::fprintf(stream_, "%s%s (%zu/%zu)\n", Prefix, text.c_str(), number, count);
    }
}

void ConsoleProgress::SetProgress(int percent) {
    const int quarter = percent / 25;
    if (!open_ || quarter == shownQuarter_) {
        return;
    }
    shownQuarter_ = quarter;
    std::fprintf(stream_, "%s%d%%\n", Prefix, quarter * 25);
}

void ConsoleNotices::ShowResult(const std::string& caption, const std::string& text, bool) {
    std::fprintf(stream_, "%s %s\n", caption.c_str(), text.c_str());
}

void ConsoleNotices::ShowNotice(const std::string& caption, const std::string& text) {
    std::fprintf(stream_, "%s %s\n", caption.c_str(), text.c_str());
}

void ConsoleNotices::ShowWarning(const std::string& text) {
    std::fprintf(stream_, "%s%s\n", Prefix, text.c_str());
}

bool ConsoleDeliveryStep(const DeliveryRequest& request) {
    auto kit = std::make_shared<ConsoleKit>(request);
    return RunDelivery(kit, kit->core, request);
}

} // namespace faulttrap
