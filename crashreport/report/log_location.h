#pragma once

// Where the log file of a module lives, and the folder it falls back to when that place cannot
// be written.

#include "crashreport/report/log_file.h"
#include "crashreport/report/report_inputs.h"

#include <filesystem>
#include <memory>
#include <string>

namespace faulttrap {

struct LogLocation {
    std::filesystem::path chosen;   // from the options
    std::filesystem::path fallback; // $XDG_DATA_HOME/FaultTrap/<program>/<same name>
};

// The user's folder for the library's data: $XDG_DATA_HOME/FaultTrap, or
// ~/.local/share/FaultTrap.
std::filesystem::path UserDataFolder();

// The module's file name with the extension ".ftlog" in the module's folder, or in
// UserDataFolder() when that folder cannot be written; `LogFolder` names another folder, or the
// whole file name when it ends in ".ftlog". With `ComputerNameInLogName` "_<computer>" goes
// before the extension. %NAME% variables are expanded.
LogLocation LocateLogFile(const ReportSettings& settings, const std::string& computerName,
                          const std::filesystem::path& programFile);

// Opens the chosen file, else the fallback (creating its folders when writing); throws
// ELogFileError when neither can be opened.
std::unique_ptr<TLogFile> OpenLogFile(const LogLocation& location, LogFileAccess access);

} // namespace faulttrap
