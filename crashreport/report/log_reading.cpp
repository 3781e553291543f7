#include "crashreport/report/log_reading.h"

#include "crashreport/report/report_text.h"

#include <algorithm>
#include <cstdio>
#include <optional>

namespace faulttrap {

namespace {

constexpr std::string_view kVersionLineStart = "FaultTrap ";
constexpr std::string_view kReportEnd = "\r\n\r\n\r\n";     // last line's break, two empty lines
constexpr std::string_view kReportGap = "\r\n\r\n\r\n\r\n"; // ... and the empty line after it
constexpr int kSectionsAfterGeneralPart = 5; // call stack, modules, processes, assembler, CPU

// The text with CR LF line ends, and where lone line breaks were mended.
struct MendedText {
    std::string text;
    std::vector<std::size_t> loneCr; // offsets of the CR LF that replaced them
    std::vector<std::size_t> loneLf; // only when the text also has CR LF line ends
};

MendedText MendLineBreaks(std::string_view text) {
    MendedText mended;
    mended.text.reserve(text.size() + text.size() / 16);
    const bool crLfText = text.find(kCrLf) != std::string_view::npos;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            mended.text += kCrLf;
            ++i;
        } else if (c == '\r' || c == '\n') {
            if (c == '\r') {
                mended.loneCr.push_back(mended.text.size());
            } else if (crLfText) {
                mended.loneLf.push_back(mended.text.size());
            }
            mended.text += kCrLf;
        } else {
            mended.text += c;
        }
    }
    return mended;
}

// Line numbers of offsets in a text of CR LF line ends.
class LineNumbers {
public:
    explicit LineNumbers(std::string_view text) {
        for (std::size_t at = text.find(kCrLf); at != std::string_view::npos;
             at = text.find(kCrLf, at + kCrLf.size())) {
            breaks_.push_back(at);
        }
    }
    int At(std::size_t offset) const {
        return static_cast<int>(std::lower_bound(breaks_.begin(), breaks_.end(), offset) -
                                breaks_.begin()) +
               1;
    }

private:
    std::vector<std::size_t> breaks_;
};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsRule(std::string_view line) {
    return !line.empty() && line.front() == '-' &&
           line.find_first_not_of("- ") == std::string_view::npos;
}

std::string WithoutTrailingLineBreaks(std::string_view text) {
    const std::size_t last = text.find_last_not_of("\r\n");
    return std::string(last == std::string_view::npos ? std::string_view{}
                                                      : text.substr(0, last + 1));
}

// "6.0.6" as 600; 0 when the report does not begin with its version line.
int VersionOf(const std::string& firstLine) {
    if (!firstLine.starts_with(kVersionLineStart)) {
        return 0;
    }
    int major = 0;
    int minor = 0;
    std::size_t i = kVersionLineStart.size();
    for (; i < firstLine.size() && IsDigit(firstLine[i]); ++i) {
        major = std::min(major * 10 + (firstLine[i] - '0'), 9999);
    }
    if (i < firstLine.size() && firstLine[i] == '.') {
        for (++i; i < firstLine.size() && IsDigit(firstLine[i]); ++i) {
            minor = std::min(minor * 10 + (firstLine[i] - '0'), 99);
        }
    }
    return major * 100 + minor;
}

// Where a report that begins with its version line and holds its call-stack table was cut
// short; empty when its sections are all there and complete.
std::string Truncation(std::string_view report) {
    std::vector<std::string> lines = SplitAtCrLf(report);
    while (!lines.empty() && lines.back().empty()) {
        lines.pop_back();
    }
    std::optional<std::size_t> table;
    for (std::size_t i = 2; i < lines.size() && !table; ++i) {
        if (lines[i].starts_with('|') && IsRule(lines[i - 1])) {
            table = i - 2;
        }
    }
    if (!table) {
        return "cut short before its call-stack table";
    }
    int sections = 0;
    std::string lastHeading;
    bool registersLast = false;
    for (std::size_t start = *table; start < lines.size();) {
        std::size_t end = start;
        while (end < lines.size() && !lines[end].empty()) {
            ++end;
        }
        const bool headed = end - start >= 2 && IsRule(lines[start + 1]);
        if (headed) {
            ++sections;
            lastHeading = lines[start];
            const bool isTable = end - start >= 3 && lines[start + 2].starts_with('|');
            if (isTable && !IsRule(lines[end - 1])) {
                return "cut short in its table \"" + lastHeading + "\"";
            }
            // The registers and the dump have lines as long as their rules.
            const std::string& rule = lines[start + 1];
            const bool dump = rule.find("   ") != std::string::npos;
            const bool registers =
                !isTable && end - start > 2 && lines[start + 2].find("AX: ") != std::string::npos;
            for (std::size_t i = start + 2; (dump || registers) && i < end; ++i) {
                if (lines[i].size() != rule.size()) {
                    return dump ? "cut short in its memory dump" : "cut short in its registers";
                }
            }
            if (dump && end - start - 2 != 0 && end - start - 2 != 16) {
                return "cut short in its memory dump";
            }
            registersLast = registers;
        }
        start = end;
        while (start < lines.size() && lines[start].empty()) {
            ++start;
        }
    }
    if (registersLast) {
        return "cut short after its registers";
    }
    if (VersionOf(lines.front()) >= 600 && sections < kSectionsAfterGeneralPart) {
        return "cut short after its section \"" + lastHeading + "\"";
    }
    return {};
}

std::string ByteName(unsigned char byte) {
    char name[8];
    std::snprintf(name, sizeof name, "0x%02X", byte);
    return name;
}

// The first NUL and the first byte without a Windows-1252 character in [begin, end).
void AddByteDamage(std::string_view text, std::size_t begin, std::size_t end,
                   const LineNumbers& lines, std::vector<std::string>& reasons) {
    bool nul = false;
    bool undefined = false;
    for (std::size_t i = begin; i < end && !(nul && undefined); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte == 0 && !nul) {
            nul = true;
            reasons.push_back("holds a NUL byte in line " + std::to_string(lines.At(i)));
        } else if (!IsWindows1252Character(byte) && !undefined) {
            undefined = true;
            reasons.push_back("holds the byte " + ByteName(byte) +
                              ", which Windows-1252 does not define, in line " +
                              std::to_string(lines.At(i)));
        }
    }
}

void AddLineBreakDamage(const std::vector<std::size_t>& mended, std::size_t begin, std::size_t end,
                        const char* what, const LineNumbers& lines,
                        std::vector<std::string>& reasons) {
    const auto found = std::lower_bound(mended.begin(), mended.end(), begin);
    if (found != mended.end() && *found < end) {
        reasons.push_back(std::string("a lone ") + what + " breaks line " +
                          std::to_string(lines.At(*found)));
    }
}

std::string Joined(const std::vector<std::string>& reasons) {
    std::string text;
    for (const auto& reason : reasons) {
        text += (text.empty() ? "" : "; ") + reason;
    }
    return text;
}

} // namespace

bool HoldsCallStackTable(std::string_view part) {
    return part.find("-\r\n|") != std::string_view::npos;
}

bool BeginsReport(std::string_view text, std::size_t at) {
    if (text.compare(at, kVersionLineStart.size(), kVersionLineStart) != 0) {
        return false;
    }
    std::size_t i = at + kVersionLineStart.size();
    if (i >= text.size() || !IsDigit(text[i])) {
        return false;
    }
    while (i < text.size() && (IsDigit(text[i]) || text[i] == '.')) {
        ++i;
    }
    return text.compare(i, 4, "\r\n\r\n") == 0;
}

std::string StoredReport(std::string_view report) {
    std::string stored = WithoutTrailingLineBreaks(MendLineBreaks(report).text);
    for (std::size_t at = stored.find(kReportGap); at != std::string::npos;
         at = stored.find(kReportGap, at)) {
        stored.erase(at, kCrLf.size());
    }
    stored += kReportEnd;
    // No second report may seem to begin inside this one.
    for (std::size_t at = stored.find(kVersionLineStart, 1); at != std::string::npos;
         at = stored.find(kVersionLineStart, at + 1)) {
        if (BeginsReport(stored, at)) {
            stored[at + kVersionLineStart.size() - 1] = '_';
        }
    }
    return stored;
}

LogContent ReadLogText(std::string_view original) {
    const MendedText mended = MendLineBreaks(original);
    const std::string& text = mended.text;
    const LineNumbers lines(text);
    LogContent content;
    int begun = 0;
    const auto take = [&](std::size_t begin, std::size_t end, bool runsOn) {
        const std::string_view part = std::string_view(text).substr(begin, end - begin);
        const bool versionLine = BeginsReport(part, 0);
        const bool table = HoldsCallStackTable(part);
        if (!versionLine && !table) {
            return; // no report: text between reports
        }
        ++begun;
        std::vector<std::string> reasons;
        if (!versionLine) {
            reasons.push_back("does not begin with its \"FaultTrap\" line");
        } else if (!table) {
            reasons.push_back("cut short before its call-stack table");
        } else if (std::string cut = Truncation(part); !cut.empty()) {
            reasons.push_back(std::move(cut));
        }
        if (runsOn) {
            reasons.push_back("runs into the next report in line " + std::to_string(lines.At(end)) +
                              " without the empty lines between them");
        }
        AddLineBreakDamage(mended.loneCr, begin, end, "CR", lines, reasons);
        AddLineBreakDamage(mended.loneLf, begin, end, "LF", lines, reasons);
        AddByteDamage(text, begin, end, lines, reasons);
        if (table) {
            content.reports.push_back(part.ends_with(kReportEnd) ? std::string(part)
                                                                 : StoredReport(part));
        }
        if (!reasons.empty()) {
            content.damage.push_back({begun, lines.At(begin), Joined(reasons), table});
        }
    };
    std::size_t start = 0;
    while (start < text.size()) {
        // A report begins at its first line; empty lines between reports belong to none.
        if (text.compare(start, kCrLf.size(), kCrLf) == 0) {
            start += kCrLf.size();
            continue;
        }
        const std::size_t gap = text.find(kReportGap, start);
        const std::size_t end = gap == std::string::npos ? text.size() : gap + kReportEnd.size();
        // A report cut short may run straight into the next one.
        std::size_t from = start;
        for (std::size_t at = text.find(kVersionLineStart, start + 1); at < end;
             at = text.find(kVersionLineStart, at + 1)) {
            if (BeginsReport(text, at)) {
                take(from, at, true);
                from = at;
            }
        }
        take(from, end, false);
        start = gap == std::string::npos ? text.size() : gap + kReportGap.size();
    }
    return content;
}

std::string DescribeDamage(const LogDamage& damage) {
    return "report " + std::to_string(damage.report) + " (line " + std::to_string(damage.line) +
           "): " + damage.reason + (damage.loaded ? "" : "; left out");
}

} // namespace faulttrap
