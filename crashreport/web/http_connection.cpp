#include "http_connection.h"

#include <cmath>

namespace faulttrap {

namespace {

struct TStatusShown {
    std::size_t text;
    int bar; // -1: the bar stays as it is
};

TStatusShown Shown(THTTPStatus code, int percent) {
    const int sendingBar = 25 + static_cast<int>(std::lround(75.0 * percent / 100.0));
    switch (code) {
    case THTTPStatus::Connecting:
        return {114, 5};
    case THTTPStatus::Connected:
        return {115, 10};
    case THTTPStatus::Login:
        return {113, 15};
    case THTTPStatus::SelectProject:
        return {118, 20};
    case THTTPStatus::Searching:
        return {119, 25};
    case THTTPStatus::Modifying:
        return {120, sendingBar};
    case THTTPStatus::Sending:
        return {116, sendingBar};
    case THTTPStatus::Sent:
        return {117, -1};
    case THTTPStatus::Disconnecting:
        return {121, -1};
    case THTTPStatus::Disconnected:
        break;
    }
    return {122, -1};
}

} // namespace

THTTPConnection::THTTPConnection(std::string_view url, std::string_view proxy,
                                 const TCustomizedTexts& texts, TSendProgressReceiver* progress,
                                 TTransferLimits limits)
    : THTTPConnectionBase(url, proxy, std::move(limits)), texts_(texts), progress_(progress) {}

THTTPConnection::~THTTPConnection() {
    Close();
}

void THTTPConnection::Status(THTTPStatus code, int value) {
    if (progress_ == nullptr)
        return;
    const TStatusShown shown = Shown(code, value);
    progress_->SetSendStatus(texts_.Text(shown.text));
    if (shown.bar >= 0)
        progress_->SetSendProgress(shown.bar);
}

} // namespace faulttrap
