#pragma once

// The values of the general sections of a report, as collected at the exception.

#include "crashreport/report/report_inputs.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace faulttrap {

struct ModuleFacts {
    std::string fileName; // without folder
    std::string description;
    std::string version; // "major.minor.release.build"
};

struct NetworkAdapterFacts {
    std::string address; // "000.000.000.000"
    std::string mask;
    std::string gateway;
    std::string dns1;
    std::string dns2;
    bool dhcp = false;
};

// The user, computer, operating system and network (sections 3, 5, 6 and 7).
struct SystemFacts {
    std::string userId;
    std::string registeredOwner;
    std::string company;
    std::string privileges; // one line per privilege
    std::string computerName;
    std::optional<std::uint64_t> totalMemory;
    std::optional<std::uint64_t> freeMemory;
    std::optional<std::uint64_t> totalDisk;
    std::optional<std::uint64_t> freeDisk;
    std::optional<std::chrono::milliseconds> systemUpTime;
    std::string processor;
    std::string displayMode; // "%d x %d, %d bit"; left to the caller, which owns the screens
    std::string displayDpi;
    std::string videoCard;
    std::string printer;
    std::string osType;
    std::string osBuild;
    std::string osUpdate;
    std::string language;
    std::string charset;
    std::vector<NetworkAdapterFacts> adapters;
};

struct ActiveControlFacts {
    std::string formClass;
    std::string formText;
    std::string controlClass;
    std::string controlText; // "*" per character for a password field
};

struct GeneralFacts {
    ReportClock::time_point startTime;
    ModuleFacts mainModule;
    std::vector<std::string> parameters;
    std::optional<ReportClock::time_point> compilationTime;
    ReportClock::time_point exceptionTime;
    std::uintptr_t exceptionAddress = 0;
    ModuleFacts exceptionModule;
    std::string exceptionClass;
    std::string exceptionMessage; // as item 2.6 shows it
    std::string bugId;
    std::string email;
    bool consoleOrWebProgram = false;
    ActiveControlFacts activeControls;
    SystemFacts system;
};

} // namespace faulttrap
