#include "crashreport/web/http_connection.h"

#include <cmath>

namespace faulttrap {

namespace {

struct TStatusShown {
    TextId text;
    int bar; // -1: the bar stays as it is
};

TStatusShown Shown(THTTPStatus code, int percent) {
    const int sendingBar = 25 + static_cast<int>(std::lround(75.0 * percent / 100.0));
    switch (code) {
    case THTTPStatus::Connecting:
        return {TextId::Connecting, 5};
    case THTTPStatus::Connected:
        return {TextId::Connected, 10};
    case THTTPStatus::Login:
        return {TextId::LoggingIn, 15};
    case THTTPStatus::SelectProject:
        return {TextId::SelectingProject, 20};
    case THTTPStatus::Searching:
        return {TextId::Searching, 25};
    case THTTPStatus::Modifying:
        return {TextId::Modifying, sendingBar};
    case THTTPStatus::Sending:
        return {TextId::SendingMessage, sendingBar};
    case THTTPStatus::Sent:
        return {TextId::MessageSent, -1};
    case THTTPStatus::Disconnecting:
        return {TextId::Disconnecting, -1};
    case THTTPStatus::Disconnected:
        break;
    }
    return {TextId::Disconnected, -1};
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
    if (progress_ == nullptr) {
        return;
    }
    const TStatusShown shown = Shown(code, value);
    progress_->SetSendStatus(texts_.Text(shown.text));
    if (shown.bar >= 0) {
        progress_->SetSendProgress(shown.bar);
    }
}

} // namespace faulttrap
