#pragma once

// What the processing of one exception does with the log file. Each operation opens the log,
// works on it and closes it; failures are ELogFileError.

#include "crashreport/report/log_location.h"

#include <optional>
#include <string>
#include <string_view>

namespace faulttrap {

// With NoDuplicateErrors: raises item 2.8 ("Count") of the stored report whose item 2.7 is
// `bugId` and saves the log; true when there is such a report (the new one is a duplicate).
bool CountDuplicateReport(const ReportSettings& settings, const LogLocation& location,
                          std::string_view bugId, std::string_view countLabel);

// With NewLogOnVersionChange: deletes the log when the version number (item 1.3) of its last
// report is set and is not `currentVersion`; true when deleted.
bool DeleteLogOfOtherVersion(const ReportSettings& settings, const LogLocation& location,
                             std::string_view currentVersion);

// Appends the report keeping at most MaxLogEntries and saves unless `save` is false; with
// SendEntireLog gives the whole log text, which is then delivered instead of the report.
std::optional<std::string> WriteReportToLog(const ReportSettings& settings,
                                            const LogLocation& location, std::string_view report,
                                            bool save);

} // namespace faulttrap
