#include "crashreport/report/log_file.h"

#include "crashreport/report/item_value.h"
#include "crashreport/report/report_items.h"
#include "crashreport/report/report_text.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace faulttrap {

namespace {

constexpr std::string_view kReportEnd = "\r\n\r\n\r\n";     // last line's break, two empty lines
constexpr std::string_view kReportGap = "\r\n\r\n\r\n\r\n"; // ... and the empty line after it

[[noreturn]] void Fail(const std::filesystem::path& fileName, const char* what) {
    throw ELogFileError(std::string(what) + " the log file \"" + fileName.string() +
                        "\": " + std::strerror(errno));
}

std::string RepairLineBreaks(std::string_view text) {
    std::string repaired;
    repaired.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            repaired += kCrLf;
            ++i;
        } else if (c == '\r' || c == '\n') {
            repaired += kCrLf;
        } else {
            repaired += c;
        }
    }
    return repaired;
}

// A report holds the call-stack table: a rule line followed by a line that begins with "|".
bool HoldsCallStackTable(std::string_view part) {
    return part.find("-\r\n|") != std::string_view::npos;
}

std::string WithoutTrailingLineBreaks(std::string_view text) {
    const std::size_t last = text.find_last_not_of("\r\n");
    return std::string(last == std::string_view::npos ? std::string_view{}
                                                      : text.substr(0, last + 1));
}

// A report as stored: CR LF line ends, no run of three empty lines inside (that would split it
// on the next load), and the three line breaks that end it.
std::string StoredForm(std::string_view report) {
    std::string stored = WithoutTrailingLineBreaks(RepairLineBreaks(report));
    for (std::size_t at = stored.find(kReportGap); at != std::string::npos;
         at = stored.find(kReportGap, at)) {
        stored.erase(at, kCrLf.size());
    }
    return stored + std::string(kReportEnd);
}

std::string ReadAll(int descriptor, const std::filesystem::path& fileName) {
    std::string content;
    char buffer[65536];
    for (off_t offset = 0;;) {
        const ssize_t got = pread(descriptor, buffer, sizeof buffer, offset);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            Fail(fileName, "Cannot read");
        }
        if (got == 0) {
            return content;
        }
        content.append(buffer, static_cast<std::size_t>(got));
        offset += got;
    }
}

} // namespace

TLogFile::TLogFile(const std::filesystem::path& fileName, LogFileAccess access)
    : fileName_(fileName) {
    const bool writable = access == LogFileAccess::ReadWrite;
    descriptor_ = writable ? open(fileName.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644)
                           : open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor_ < 0) {
        Fail(fileName, "Cannot open");
    }
    while (flock(descriptor_, writable ? LOCK_EX : LOCK_SH) != 0) {
        if (errno != EINTR) {
            const int error = errno;
            close(descriptor_);
            errno = error;
            Fail(fileName, "Cannot lock");
        }
    }
    try {
        reports_ = SplitReports(ReadAll(descriptor_, fileName));
    } catch (...) {
        close(descriptor_);
        throw;
    }
}

TLogFile::~TLogFile() {
    close(descriptor_);
}

std::vector<std::string> TLogFile::SplitReports(std::string_view text) {
    const std::string repaired = RepairLineBreaks(text);
    std::vector<std::string> reports;
    std::size_t start = 0;
    while (start < repaired.size()) {
        // A report begins at its first line; empty lines between reports belong to none.
        if (repaired.compare(start, kCrLf.size(), kCrLf) == 0) {
            start += kCrLf.size();
            continue;
        }
        const std::size_t gap = repaired.find(kReportGap, start);
        std::string part;
        if (gap == std::string::npos) {
            part = StoredForm(std::string_view(repaired).substr(start));
            start = repaired.size();
        } else {
            part = repaired.substr(start, gap + kReportEnd.size() - start);
            start = gap + kReportGap.size();
        }
        if (HoldsCallStackTable(part)) {
            reports.push_back(std::move(part));
        }
    }
    return reports;
}

const std::string& TLogFile::Report(int position) const {
    return reports_.at(static_cast<std::size_t>(position));
}

void TLogFile::Append(std::string_view report, int limit) {
    if (limit != -1) {
        const std::size_t keep = static_cast<std::size_t>(limit < 1 ? 1 : limit) - 1;
        if (reports_.size() > keep) {
            reports_.erase(reports_.begin(),
                           reports_.begin() + static_cast<std::ptrdiff_t>(reports_.size() - keep));
        }
    }
    reports_.push_back(StoredForm(report));
}

int TLogFile::Find(const std::vector<ItemValue>& items) const {
    int found = -1;
    for (std::size_t position = 0; position < reports_.size(); ++position) {
        const std::string& report = reports_[position];
        for (const auto& [item, value] : items) {
            const auto span = FindItem(report, item);
            if (!span) {
                continue;
            }
            const std::string_view stored =
                std::string_view(report).substr(span->valueStart, span->end - span->valueStart);
            if (stored == IndentItemValue(value, span->valueStart - span->lineStart)) {
                found = static_cast<int>(position);
                break;
            }
        }
    }
    return found;
}

std::optional<std::string> TLogFile::ReadItem(int position, std::string_view item) const {
    return ReadItemOf(Report(position), item);
}

bool TLogFile::WriteItem(int position, std::string_view item, std::string_view value,
                         std::string_view label) {
    std::string& report = reports_.at(static_cast<std::size_t>(position));
    std::string changed = report;
    if (!WriteItemInto(changed, item, value, label) || !HoldsCallStackTable(changed)) {
        // A damaged report can put an item inside its table; it stays as it is then.
        return false;
    }
    report = std::move(changed);
    return true;
}

bool TLogFile::WriteItemInto(std::string& report, std::string_view item, std::string_view value,
                             std::string_view label) {
    if (const auto span = FindItem(report, item)) {
        report.replace(span->valueStart, span->end - span->valueStart,
                       IndentItemValue(value, span->valueStart - span->lineStart));
        return true;
    }
    // A hidden item: its line goes among the section's items, in number order.
    const std::size_t dot = item.find('.');
    if (dot == std::string_view::npos) {
        return false;
    }
    const std::string section(item.substr(0, dot));
    const int number = std::atoi(std::string(item.substr(dot + 1)).c_str());
    std::optional<ItemSpan> before;
    std::optional<ItemSpan> after;
    for (int other = 1; other <= 19; ++other) {
        const auto span = FindItem(report, section + '.' + std::to_string(other));
        if (!span) {
            continue;
        }
        if (other < number) {
            before = span;
        } else if (!after) {
            after = span;
        }
    }
    const std::optional<ItemSpan>& neighbour = before ? before : after;
    if (!neighbour) {
        return false;
    }
    const std::size_t separator = neighbour->valueStart - 2 - neighbour->lineStart;
    std::string line = "  " + std::string(item) + ' ' + std::string(label);
    line = PadRight(line, separator) + ": ";
    line += IndentItemValue(value, line.size());
    line += kCrLf;
    report.insert(before ? before->end + kCrLf.size() : after->lineStart, line);
    return true;
}

void TLogFile::Save() {
    const std::string text = WholeText();
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t done = pwrite(descriptor_, text.data() + written, text.size() - written,
                                    static_cast<off_t>(written));
        if (done < 0) {
            if (errno == EINTR) {
                continue;
            }
            Fail(fileName_, "Cannot write");
        }
        written += static_cast<std::size_t>(done);
    }
    if (ftruncate(descriptor_, static_cast<off_t>(text.size())) != 0) {
        Fail(fileName_, "Cannot cut");
    }
}

std::string TLogFile::WholeText() const {
    std::string text;
    for (const auto& report : reports_) {
        text += report;
        text += kCrLf;
    }
    return text;
}

} // namespace faulttrap
