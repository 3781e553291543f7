// A report of a real thrown exception: the context and the call stack are captured where the
// exception is thrown, the rest of the report comes from this machine.

#include "crashreport/report/bug_id.h"
#include "crashreport/report/bug_report.h"
#include "crashreport/report/cpu_capture.h"
#include "crashreport/report/module_sections.h"
#include "crashreport/report/process_list.h"
#include "crashreport/report/system_facts.h"
#include "crashreport/report/value_formats.h"

#include "crashreport/report/tests/golden.h"
#include "crashreport/report/tests/pattern_match.h"

#include <algorithm>
#include <cxxabi.h>
#include <dlfcn.h>
#include <execinfo.h>
#include <gtest/gtest.h>
#include <link.h>
#include <stdexcept>
#include <sys/stat.h>
#include <ucontext.h>
#include <unistd.h>

namespace faulttrap::testing {

struct ThrowSite {
    ucontext_t context;
    void* frames[64];
    int frameCount = 0;
};

// Captures its context and call stack, then throws; external so that its name is exported.
[[gnu::noinline]] void ThrowFromHere(ThrowSite& site) {
    getcontext(&site.context);
    site.frameCount = backtrace(site.frames, 64);
    throw std::runtime_error("Cannot open the register: it is locked");
}

namespace {

std::string Demangled(const char* name) {
    int status = 0;
    char* demangled = abi::__cxa_demangle(name, nullptr, nullptr, &status);
    std::string text = status == 0 && demangled != nullptr ? demangled : name;
    std::free(demangled);
    return text;
}

std::string MainProgram() {
    return std::filesystem::read_symlink("/proc/self/exe").string();
}

// What the call-stack builder gives for a build without our debug data: modules and exported
// names from the dynamic linker.
std::vector<ReportStackEntry> ResolvedStack(const ThrowSite& site, std::uint64_t thread) {
    std::vector<ReportStackEntry> stack;
    for (int i = 0; i < site.frameCount; ++i) {
        ReportStackEntry entry;
        entry.address = reinterpret_cast<std::uintptr_t>(site.frames[i]);
        entry.threadId = thread;
        Dl_info info{};
        if (dladdr(site.frames[i], &info) == 0 || info.dli_fname == nullptr) {
            continue;
        }
        entry.moduleName = std::filesystem::path(info.dli_fname).filename().string();
        if (entry.moduleName.empty() || std::string(info.dli_fname) == MainProgram()) {
            entry.moduleName = std::filesystem::path(MainProgram()).filename().string();
        }
        entry.kind = ReportStackEntry::ModuleOnly;
        if (info.dli_sname != nullptr) {
            entry.procedureName = Demangled(info.dli_sname);
            entry.kind = ReportStackEntry::Procedure;
        }
        stack.push_back(entry);
    }
    // The exception was thrown in ThrowFromHere; frames above it (an interceptor of backtrace()
    // in a sanitized build) are not part of the program's stack.
    const auto thrower = std::find_if(stack.begin(), stack.end(), [](const auto& entry) {
        return entry.procedureName.rfind("faulttrap::testing::ThrowFromHere", 0) == 0;
    });
    if (thrower == stack.end()) {
        return {};
    }
    stack.erase(stack.begin(), thrower);
    stack.front().exceptionAddress = true;
    return stack;
}

std::vector<ReportModule> LoadedModules() {
    std::vector<ReportModule> modules;
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* data) {
            auto& list = *static_cast<std::vector<ReportModule>*>(data);
            ReportModule module;
            module.handle = info->dlpi_addr;
            module.path = info->dlpi_name != nullptr && info->dlpi_name[0] != '\0' ? info->dlpi_name
                                                                                   : MainProgram();
            struct stat file {};
            if (stat(module.path.c_str(), &file) != 0) {
                return 0; // the vDSO has no file
            }
            module.size = static_cast<std::uint64_t>(file.st_size);
            module.modified = ReportClock::from_time_t(file.st_mtime);
            if (module.path == MainProgram()) {
                module.version = "1.2.0.7";
            }
            list.push_back(module);
            return 0;
        },
        &modules);
    return modules;
}

TEST(RealException, TheReportOfAThrownExceptionHasEverySectionInItsLayout) {
    const auto start = ReportClock::now() - std::chrono::seconds(3);
    ThrowSite site;
    ReportParts parts;
    try {
        ThrowFromHere(site);
        FAIL() << "nothing was thrown";
    } catch (const std::exception& exception) {
        const std::uint64_t thread = static_cast<std::uint64_t>(gettid());
        parts.stack = ResolvedStack(site, thread);
        ASSERT_FALSE(parts.stack.empty()) << "ThrowFromHere is not on its own stack";
        parts.threads = {{thread, ThreadPriorityClass(thread), "",
                          thread == static_cast<std::uint64_t>(getpid())}};
        GeneralFacts& general = parts.general;
        general.startTime = start;
        general.exceptionTime = ReportClock::now();
        general.mainModule = {std::filesystem::path(MainProgram()).filename().string(), "",
                              "1.2.0.7"};
        general.parameters = {"--gtest_filter=RealException.*"};
        general.exceptionAddress = parts.stack.front().address;
        general.exceptionModule = general.mainModule;
        general.exceptionClass = Demangled(typeid(exception).name());
        general.exceptionMessage = FormatExceptionMessage(std::string(exception.what()));
        general.bugId = BugId(general.exceptionClass, parts.stack, thread);
        general.consoleOrWebProgram = true;
        general.system = CollectSystemFacts(MainProgram());
    }
    parts.modules = LoadedModules();
    parts.processes = CollectProcesses();
    parts.cpu = CaptureCpuState(site.context, parts.general.exceptionAddress);
    parts.assemblerListing = {FormatAddress(parts.general.exceptionAddress) +
                              "  call    __cxa_throw  ; <-- EXCEPTION"};

    const BugReport report = BugReport::Build(parts, {}, ReportTexts::Defaults());
    EXPECT_EQ(
        Mismatch(report.Text(), ReadFile(std::string(REPORT_TEST_DATA) + "/real_report.pattern")),
        "")
        << report.Text();

    // Every table line is as long as its rules.
    const auto lines = Lines(report.Text(), "\r\n");
    std::size_t rule = 0;
    for (const auto& line : lines) {
        if (!line.empty() && line.find_first_not_of('-') == std::string::npos) {
            rule = line.size();
        } else if (!line.empty() && line.front() == '|') {
            EXPECT_EQ(line.size(), rule) << line;
        }
    }
    // The saved context is the one of the throw site.
    ASSERT_TRUE(parts.cpu.registers);
    EXPECT_EQ(parts.cpu.stackPointer, (*parts.cpu.registers)[6]);
    EXPECT_EQ(parts.cpu.stack.size(), 128u);
    EXPECT_EQ(parts.cpu.memory.size(), 256u);
}

} // namespace
} // namespace faulttrap::testing
