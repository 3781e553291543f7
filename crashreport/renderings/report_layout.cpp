#include "crashreport/renderings/report_layout.h"

#include "crashreport/report/report_text.h"

#include <algorithm>
#include <cstddef>

namespace faulttrap {
namespace {

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += kCrLf;
    }
    return text;
}

bool IsRule(std::string_view line) {
    return !line.empty() && line.find_first_not_of("- ") == std::string_view::npos &&
           line.front() == '-';
}

// A table: heading, rule, the rows (lines starting with "|") after the column-heading row and
// its rule. `at` moves past the block.
std::vector<std::string> TableRows(const std::vector<std::string>& lines, std::size_t& at) {
    std::vector<std::string> rows;
    std::size_t i = at + 2; // after the heading and its rule
    bool headerSeen = false;
    for (; i < lines.size() && !lines[i].empty(); ++i) {
        const std::string& line = lines[i];
        if (!line.starts_with('|')) {
            continue; // the rules around the column headings and at the end
        }
        if (!headerSeen) {
            headerSeen = true;
            continue;
        }
        rows.push_back(line);
    }
    at = i;
    return rows;
}

std::size_t SkipEmpty(const std::vector<std::string>& lines, std::size_t at) {
    while (at < lines.size() && lines[at].empty()) {
        ++at;
    }
    return at;
}

} // namespace

std::string ReportLayout::GeneralText() const {
    return Joined(general);
}
std::string ReportLayout::AssemblerText() const {
    return Joined(assembler);
}
std::string ReportLayout::CpuText() const {
    return Joined(cpu);
}

int VersionNumber(std::string_view version) {
    int major = 0;
    std::size_t i = 0;
    for (; i < version.size() && version[i] >= '0' && version[i] <= '9'; ++i) {
        major = std::min(major * 10 + (version[i] - '0'), 9999);
    }
    if (i == 0) {
        return 0;
    }
    int minor = 0;
    if (i < version.size() && version[i] == '.') {
        for (++i; i < version.size() && version[i] >= '0' && version[i] <= '9'; ++i) {
            minor = std::min(minor * 10 + (version[i] - '0'), 99);
        }
    }
    return major * 100 + minor;
}

std::vector<std::string> TableFields(std::string_view row) {
    std::vector<std::string> fields;
    if (row.starts_with('|')) {
        row.remove_prefix(1);
    }
    if (row.ends_with('|')) {
        row.remove_suffix(1);
    }
    std::size_t start = 0;
    while (true) {
        const std::size_t bar = row.find('|', start);
        fields.push_back(
            Trim(row.substr(start, bar == std::string_view::npos ? row.npos : bar - start)));
        if (bar == std::string_view::npos) {
            break;
        }
        start = bar + 1;
    }
    return fields;
}

ReportLayout SplitReport(std::string_view report) {
    ReportLayout layout;
    const std::vector<std::string> lines = SplitAtCrLf(report);
    if (lines.empty()) {
        return layout;
    }
    layout.version = lines[0].size() > 10 ? lines[0].substr(10) : std::string();

    // The general part ends at the heading above the first table.
    std::size_t firstTable = lines.size();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].starts_with('|') && i >= 2 && IsRule(lines[i - 1])) {
            firstTable = i - 2;
            break;
        }
    }
    std::size_t generalEnd = firstTable;
    while (generalEnd > 0 && lines[generalEnd - 1].empty()) {
        --generalEnd;
    }
    layout.general.assign(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(generalEnd));
    if (firstTable >= lines.size()) {
        return layout;
    }

    std::size_t at = firstTable;
    layout.stackRows = TableRows(lines, at);
    at = SkipEmpty(lines, at);
    if (at < lines.size()) {
        layout.moduleRows = TableRows(lines, at);
        at = SkipEmpty(lines, at);
    }
    const int version = VersionNumber(layout.version);
    if (version >= 600 && at < lines.size()) {
        layout.processRows = TableRows(lines, at);
        at = SkipEmpty(lines, at);
    }
    if (version < 500) {
        // Old reports end with the request section.
        for (; at < lines.size(); ++at) {
            if (!lines[at].empty() || !layout.request.empty()) {
                layout.request.push_back(lines[at]);
            }
        }
        while (!layout.request.empty() && layout.request.back().empty()) {
            layout.request.pop_back();
        }
        return layout;
    }
    if (version >= 600 && at + 1 < lines.size() && IsRule(lines[at + 1])) {
        std::size_t i = at + 2;
        for (; i < lines.size() && !lines[i].empty(); ++i) {
            layout.assembler.push_back(lines[i]);
        }
        at = SkipEmpty(lines, i);
    }
    std::size_t end = lines.size();
    while (end > at && lines[end - 1].empty()) {
        --end;
    }
    for (std::size_t i = at; i < end; ++i) {
        layout.cpu.push_back(lines[i]);
    }
    return layout;
}

} // namespace faulttrap
