#include "crashreport/report/log_file.h"

#include "crashreport/report/item_value.h"
#include "crashreport/report/log_reading.h"
#include "crashreport/report/report_items.h"
#include "crashreport/report/report_text.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace faulttrap {

namespace {

[[noreturn]] void Fail(const std::filesystem::path& fileName, const char* what) {
    throw ELogFileError(std::string(what) + " the log file \"" + fileName.string() +
                        "\": " + std::strerror(errno));
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
        LogContent content = ReadLogText(ReadAll(descriptor_, fileName));
        reports_ = std::move(content.reports);
        damage_ = std::move(content.damage);
    } catch (...) {
        close(descriptor_);
        throw;
    }
}

TLogFile::~TLogFile() {
    close(descriptor_);
}

std::vector<std::string> TLogFile::SplitReports(std::string_view text) {
    return ReadLogText(text).reports;
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
    reports_.push_back(StoredReport(report));
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
        // An empty value that lost the blank after its ":" gets it back.
        const std::string blank = report[span->valueStart - 1] == ':' ? " " : "";
        report.replace(
            span->valueStart, span->end - span->valueStart,
            blank + IndentItemValue(value, span->valueStart + blank.size() - span->lineStart));
        return true;
    }
    // A hidden item: its line goes after the last item the section shows.
    const std::size_t dot = item.find('.');
    if (dot == std::string_view::npos) {
        return false;
    }
    const std::string section(item.substr(0, dot));
    std::optional<ItemSpan> last;
    for (int other = 1; other <= 19; ++other) {
        const auto span = FindItem(report, section + '.' + std::to_string(other));
        if (span && (!last || span->end > last->end)) {
            last = span;
        }
    }
    if (!last) {
        return false;
    }
    const std::size_t colon =
        report[last->valueStart - 1] == ':' ? last->valueStart - 1 : last->valueStart - 2;
    const std::size_t separator = colon - last->lineStart;
    std::string line = "  " + std::string(item) + ' ' + std::string(label);
    line = PadRight(line, separator) + ": ";
    line += IndentItemValue(value, line.size());
    line += kCrLf;
    report.insert(last->end + kCrLf.size(), line);
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
