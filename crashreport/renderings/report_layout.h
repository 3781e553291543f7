#pragma once

// The parts of a bug report text, found by its layout: the general part, then headed blocks (a
// heading line, a rule, the content) separated by empty lines: the call-stack table, the modules
// table, the processes table (from version 6.0 on), the assembler listing and the CPU part.

#include <string>
#include <string_view>
#include <vector>

namespace faulttrap {

struct ReportLayout {
    std::string version;              // the first line from its 11th character
    std::vector<std::string> general; // the general part's lines, the first line included
    std::vector<std::string> stackRows;
    std::vector<std::string> moduleRows;
    std::vector<std::string> processRows;
    std::vector<std::string> assembler; // listing lines
    std::vector<std::string> cpu;       // from the registers heading to the end
    std::vector<std::string> request;   // reports before version 5.0: the request section

    // The general part as text, every line ended by CR LF.
    std::string GeneralText() const;
    std::string AssemblerText() const;
    std::string CpuText() const;
};

ReportLayout SplitReport(std::string_view report);

// A version "major.minor..." as major * 100 + minor (6.0.6 gives 600); 0 when unreadable.
int VersionNumber(std::string_view version);

// The fields of a table row between its "|" characters, each trimmed.
std::vector<std::string> TableFields(std::string_view row);

} // namespace faulttrap
