#include "crashreport/report/log_location.h"

#include "crashreport/report/report_text.h"
#include "crashreport/text/strings.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace faulttrap {

namespace {

constexpr std::string_view kExtension = ".ftlog";

bool EndsWithLogExtension(const std::string& name) {
    return name.size() >= kExtension.size() &&
           EqualsIgnoringCase(std::string_view(name).substr(name.size() - kExtension.size()),
                              kExtension);
}

// Characters no file name may hold on the systems where logs are read.
std::string FileNameSafe(std::string name) {
    for (char& c : name) {
        if (static_cast<unsigned char>(c) < 32 ||
            std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos) {
            c = '_';
        }
    }
    return name;
}

std::filesystem::path HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        return home;
    }
    if (const passwd* user = getpwuid(getuid()); user != nullptr && user->pw_dir != nullptr) {
        return user->pw_dir;
    }
    return std::filesystem::temp_directory_path();
}

bool CanWriteInto(const std::filesystem::path& folder) {
    return access(folder.empty() ? "." : folder.c_str(), W_OK) == 0;
}

} // namespace

std::filesystem::path UserDataFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    const std::filesystem::path base = data != nullptr && *data == '/'
                                           ? std::filesystem::path(data)
                                           : HomeFolder() / ".local" / "share";
    return base / "FaultTrap";
}

LogLocation LocateLogFile(const ReportSettings& settings, const std::string& computerName,
                          const std::filesystem::path& programFile) {
    const std::filesystem::path module = settings.moduleFileName.empty()
                                             ? programFile
                                             : std::filesystem::path(settings.moduleFileName);
    std::filesystem::path name;
    if (EndsWithLogExtension(settings.logFolder)) {
        name = settings.logFolder;
    } else {
        std::filesystem::path folder;
        if (!settings.logFolder.empty()) {
            folder = settings.logFolder;
        } else if (CanWriteInto(ExpandEnvironment(module.parent_path().string()))) {
            folder = module.parent_path();
        } else {
            folder = UserDataFolder();
        }
        name = folder / module.filename().replace_extension(kExtension);
    }
    if (settings.computerNameInLogName) {
        const std::string extension = name.extension().string();
        name.replace_filename(name.stem().string() + '_' + FileNameSafe(computerName) + extension);
    }
    LogLocation location;
    location.chosen = ExpandEnvironment(name.string());
    location.fallback = UserDataFolder() / programFile.stem() / location.chosen.filename();
    return location;
}

std::unique_ptr<TLogFile> OpenLogFile(const LogLocation& location, LogFileAccess access) {
    try {
        return std::make_unique<TLogFile>(location.chosen, access);
    } catch (const ELogFileError& chosenError) {
        if (access == LogFileAccess::ReadWrite) {
            std::error_code ignored;
            std::filesystem::create_directories(location.fallback.parent_path(), ignored);
        }
        try {
            return std::make_unique<TLogFile>(location.fallback, access);
        } catch (const ELogFileError& fallbackError) {
            throw ELogFileError(std::string(chosenError.what()) + "; " + fallbackError.what());
        }
    }
}

} // namespace faulttrap
