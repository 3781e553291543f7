#pragma once

// What `faulttrap log FILE [--report N] [--item N.M]...` prints: the reports of a log file, or
// the values of the given items of each report.

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace faulttrap {

class TLogFile;

struct LogQuery {
    std::filesystem::path file;
    std::optional<int> report; // 1-based; every report when not given
    std::vector<std::string> items;
};

// Reads the arguments after "log"; on a mistake fills `error` and gives nothing.
std::optional<LogQuery> ParseLogArguments(const std::vector<std::string>& arguments,
                                          std::string& error);

// Prints the query's answer to `out`, problems to `err`: without items a log file of the reports
// asked for, with items their values. Every damaged report is named on `err`, with what is wrong
// with it. Exit codes: 0 done, 1 a report of the file is damaged, or the file holds no report or
// no such report, 2 the file cannot be read.
int PrintLog(const LogQuery& query, std::ostream& out, std::ostream& err);

// Names every damaged report of `log` on `err`; true when there was any.
bool ReportDamage(const TLogFile& log, std::ostream& err);

} // namespace faulttrap
