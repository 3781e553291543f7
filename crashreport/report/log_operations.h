#pragma once

// What the processing of one exception does with the log file. Each operation opens the log,
// works on it and closes it; failures are ELogFileError.

#include "crashreport/report/log_location.h"

#include <string>
#include <string_view>

namespace faulttrap {

// Raises item 2.8 ("Count") of the stored report whose item 2.7 is `bugId` and saves the log;
// false when no such report is stored (or there is no log yet).
bool CountDuplicateReport(const LogLocation& location, std::string_view bugId,
                          std::string_view countLabel);

// Deletes the log when the version number (item 1.3) of its last report is set and is not
// `currentVersion`; true when deleted.
bool DeleteLogOfOtherVersion(const LogLocation& location, std::string_view currentVersion);

// Appends the report keeping at most `maxLogEntries`, saves unless `save` is false, and returns
// the whole log text (what is delivered with SendEntireLog).
std::string WriteReportToLog(const LogLocation& location, std::string_view report,
                             int maxLogEntries, bool save);

} // namespace faulttrap
