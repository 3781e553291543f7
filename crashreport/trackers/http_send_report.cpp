#include "crashreport/trackers/http_send_report.h"

#include "crashreport/trackers/form_fields.h"

namespace faulttrap {

THTTPConnectionMaker BaseConnectionMaker(TTransferLimits limits) {
    return [limits](std::string_view url, std::string_view proxy) {
        return std::unique_ptr<THTTPConnectionBase>(
            OpenHTTPConnection<THTTPConnectionBase>(url, proxy, limits));
    };
}

THTTPSendReport::THTTPSendReport(THTTPConnectionMaker connect) : connect_(std::move(connect)) {}

TTrackerResult THTTPSendReport::Submit(std::string_view url, std::string_view proxy,
                                       const TTrackerReport& report, THTTPResponse& response) {
    const std::unique_ptr<THTTPConnectionBase> connection = connect_(url, proxy);
    return Converse(*connection, report, response);
}

bool THTTPSendReport::Exchange(THTTPConnectionBase& connection, THTTPResponse& response,
                               std::string_view page, std::string_view text, bool showProgress) {
    return connection.ExecuteRequest(response, showProgress) && connection.Check(page, text);
}

std::optional<TTrackerResult> THTTPSendReport::RaiseCounter(THTTPConnectionBase& connection,
                                                            std::string_view name) {
    switch (BumpCounter(connection, name)) {
    case TCounterBump::AtLimit:
        return TTrackerResult::Done;
    case TCounterBump::NoTitle:
        return TTrackerResult::ModifyFailed;
    case TCounterBump::Added:
        break;
    }
    return std::nullopt;
}

} // namespace faulttrap
