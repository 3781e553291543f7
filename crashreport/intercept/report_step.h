#pragma once

// The bridge from the processing to the report library: the options as report settings and
// texts, the call stack as report entries, the BugID, and the report text itself.

#include "crashreport/intercept/exception_object.h"
#include "crashreport/intercept/processing_hooks.h"
#include "crashreport/intercept/thread_list.h"

#include "crashreport/debuginfo/module_list.h"
#include "crashreport/debuginfo/resolver.h"
#include "crashreport/debuginfo/stack_entry.h"
#include "crashreport/options/fault_module_options.h"
#include "crashreport/report/bug_report.h"
#include "crashreport/report/log_location.h"

#include <ucontext.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace faulttrap {

ReportSettings ReportSettingsOf(const TFaultModuleOptions& options);
ReportTexts ReportTextsOf(const TFaultModuleOptions& options);
std::vector<ReportStackEntry> ReportStackOf(const TFaultStackList& stack);

// Where the log of `options` lives.
LogLocation LogLocationOf(const TFaultModuleOptions& options);
// The log file's name (the chosen place).
std::string LogFileName();
// The version the program file carries (item 1.3); empty when it carries none.
std::string ProgramVersion();

// Everything the report of one exception is built from.
struct ReportMaterial {
    const FaultException* exception = nullptr;
    std::string message; // as item 2.6 shows it
    std::uintptr_t address = 0;
    std::uint32_t threadId = 0;
    const TFaultStackList* stack = nullptr;
    const TFaultModulesList* modules = nullptr; // the modules of the process
    AddressResolver* resolver = nullptr;        // names the code of the assembler listing
    std::optional<ucontext_t> context;
    std::string focusClass;
    std::string focusText;
    WindowFacts window;
    std::string bugId;
    std::chrono::system_clock::time_point startTime;
    std::chrono::system_clock::time_point exceptionTime;
    bool consoleOrWebProgram = false;
};

BugReport BuildReport(const ReportMaterial& material, const TFaultModuleOptions& options);

} // namespace faulttrap
