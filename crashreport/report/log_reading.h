#pragma once

// Reading the text of a log file into its reports, and saying what is wrong with those that were
// damaged after they were written: cut short, run into the next report, broken by a lone line
// break, holding a NUL or a byte that Windows-1252 does not define.

#include <string>
#include <string_view>
#include <vector>

namespace faulttrap {

// What is wrong with one report of a log file.
struct LogDamage {
    int report = 0; // its place among the reports the file begins, from 1
    int line = 0;   // the file's line where it begins, from 1
    std::string reason;
    bool loaded = false; // kept among the reports (as repaired), or left out
};

struct LogContent {
    std::vector<std::string> reports; // each ended by three line breaks
    std::vector<LogDamage> damage;
};

// The reports a log text holds: lone CR or LF become CR LF, parts with no call-stack table are
// not reports, a report that runs into the next one without the empty lines between them is cut
// where the next one begins.
LogContent ReadLogText(std::string_view text);

// A report holds the call-stack table: a rule line followed by a line that begins with "|".
bool HoldsCallStackTable(std::string_view part);

// Whether `text` at `at` holds the first line of a report ("FaultTrap 6.0.6") followed by the
// empty line under it.
bool BeginsReport(std::string_view text, std::size_t at);

// A report as a log file stores it: CR LF line ends, no run of three empty lines inside (that
// would split it on the next load), no line inside that would begin another report, and the
// three line breaks that end it.
std::string StoredReport(std::string_view report);

// The damage as one line: "report 2 (line 143): cut short in its processes table; left out".
std::string DescribeDamage(const LogDamage& damage);

} // namespace faulttrap
