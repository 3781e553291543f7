#include "crashreport/report/log_operations.h"

#include <charconv>
#include <filesystem>

namespace faulttrap {

namespace {

bool Exists(const std::filesystem::path& path) {
    std::error_code ignored;
    return std::filesystem::exists(path, ignored);
}

bool LogExists(const LogLocation& location) {
    return Exists(location.chosen) || Exists(location.fallback);
}

long long CountValue(const std::string& text) {
    long long count = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    return error == std::errc() && end == text.data() + text.size() ? count : 1;
}

} // namespace

bool CountDuplicateReport(const LogLocation& location, std::string_view bugId,
                          std::string_view countLabel) {
    if (!LogExists(location)) {
        return false;
    }
    const auto log = OpenLogFile(location, LogFileAccess::ReadWrite);
    const int position = log->Find({{"2.7", std::string(bugId)}});
    if (position < 0) {
        return false;
    }
    const long long count = CountValue(log->ReadItem(position, "2.8").value_or(""));
    log->WriteItem(position, "2.8", std::to_string(count + 1), countLabel);
    log->Save();
    return true;
}

bool DeleteLogOfOtherVersion(const LogLocation& location, std::string_view currentVersion) {
    if (!LogExists(location)) {
        return false;
    }
    std::filesystem::path fileName;
    {
        const auto log = OpenLogFile(location, LogFileAccess::ReadOnly);
        if (log->Count() == 0) {
            return false;
        }
        const std::string version = log->ReadItem(log->Count() - 1, "1.3").value_or("");
        if (version.empty() || version == currentVersion) {
            return false;
        }
        fileName = log->FileName();
    }
    std::error_code error;
    if (!std::filesystem::remove(fileName, error) && error) {
        throw ELogFileError("Cannot delete the log file \"" + fileName.string() +
                            "\": " + error.message());
    }
    return true;
}

std::string WriteReportToLog(const LogLocation& location, std::string_view report,
                             int maxLogEntries, bool save) {
    const auto log = OpenLogFile(location, LogFileAccess::ReadWrite);
    log->Append(report, maxLogEntries);
    if (save) {
        log->Save();
    }
    return log->WholeText();
}

} // namespace faulttrap
