#pragma once

#include "crashreport/trackers/http_send_report.h"

namespace faulttrap {

// Files the report in a Bugzilla tracker through its pages.
class THTTPBugzillaSendReport : public THTTPSendReport {
public:
    using THTTPSendReport::THTTPSendReport;

protected:
    TTrackerResult Converse(THTTPConnectionBase& connection, const TTrackerReport& report,
                            THTTPResponse& response) override;

private:
    TTrackerResult FileNewBug(THTTPConnectionBase& connection, const TTrackerReport& report,
                              THTTPResponse& response);
    TTrackerResult UpdateBug(THTTPConnectionBase& connection, THTTPResponse& response);
};

} // namespace faulttrap
