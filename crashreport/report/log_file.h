#pragma once

// The log file of bug reports: reports one after another, each ended by three empty lines.
// Reports are read whole when the file is opened and written whole when it is saved; while the
// object lives the file stays open and locked, so that two processes never interleave their
// changes.

#include "crashreport/report/log_reading.h"
#include "crashreport/text/faulttrap_error.h"

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace faulttrap {

class ELogFileError : public Error {
public:
    using Error::Error;
};

enum class LogFileAccess { ReadOnly, ReadWrite };

// An item number and value to look for, such as {"2.7", "1A2B"}.
using ItemValue = std::pair<std::string, std::string>;

class TLogFile {
public:
    // Opens (ReadWrite: creates when missing) and loads the reports; throws ELogFileError.
    TLogFile(const std::filesystem::path& fileName, LogFileAccess access);
    ~TLogFile();
    TLogFile(const TLogFile&) = delete;
    TLogFile& operator=(const TLogFile&) = delete;

    // The reports a text holds (see ReadLogText). Each report keeps the CR LF of its last line
    // and two empty lines.
    static std::vector<std::string> SplitReports(std::string_view text);

    const std::filesystem::path& FileName() const { return fileName_; }
    // What was wrong with the reports the file held when it was opened.
    const std::vector<LogDamage>& Damage() const { return damage_; }
    int Count() const { return static_cast<int>(reports_.size()); }
    const std::string& Report(int position) const;

    // Drops the oldest reports so that, with the new one, at most `limit` remain (-1: no limit;
    // any other limit below 1 counts as 1).
    void Append(std::string_view report, int limit);

    // Position of the last report in which any of the items has its value, or -1.
    int Find(const std::vector<ItemValue>& items) const;

    // The value of item "N.M" as it was given, or nothing when the report does not show it.
    std::optional<std::string> ReadItem(int position, std::string_view item) const;

    // Replaces the value of item "N.M"; a hidden item gets a new line with `label` after the
    // last item its section shows. False when the section shows no item at all, or when the
    // change would break the report (a damaged file).
    bool WriteItem(int position, std::string_view item, std::string_view value,
                   std::string_view label);

    // Writes every report to the file and cuts it there; throws ELogFileError.
    void Save();

    std::string WholeText() const;

private:
    static bool WriteItemInto(std::string& report, std::string_view item, std::string_view value,
                              std::string_view label);

    std::filesystem::path fileName_;
    int descriptor_ = -1;
    std::vector<std::string> reports_;
    std::vector<LogDamage> damage_;
};

} // namespace faulttrap
