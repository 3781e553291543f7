// Building a full report: 40 frames of the exception thread, 7 other threads of 8 frames, the
// loaded modules and the running processes; with and without collecting the machine's values;
// and writing it to a log that holds 32 reports.

#include "crashreport/report/bug_report.h"
#include "crashreport/report/log_operations.h"
#include "crashreport/report/process_list.h"
#include "crashreport/report/system_facts.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

namespace faulttrap {
namespace {

std::vector<ReportModule> LoadedModules() {
    std::vector<ReportModule> modules;
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* data) {
            ReportModule module;
            module.handle = info->dlpi_addr;
            module.path = info->dlpi_name[0] != '\0'
                              ? info->dlpi_name
                              : std::filesystem::read_symlink("/proc/self/exe").string();
            struct stat file {};
            if (stat(module.path.c_str(), &file) == 0) {
                module.size = static_cast<std::uint64_t>(file.st_size);
                module.modified = ReportClock::from_time_t(file.st_mtime);
                static_cast<std::vector<ReportModule>*>(data)->push_back(module);
            }
            return 0;
        },
        &modules);
    return modules;
}

ReportParts Parts(bool collect) {
    ReportParts parts;
    parts.general.startTime = ReportClock::now() - std::chrono::hours(2);
    parts.general.exceptionTime = ReportClock::now();
    parts.general.mainModule = {"cadastro", "Cadastro", "1.2.0.7"};
    parts.general.exceptionModule = parts.general.mainModule;
    parts.general.exceptionClass = "std::runtime_error";
    parts.general.exceptionMessage = "Cannot open the register.";
    parts.general.bugId = "31C3";
    for (std::uint64_t thread = 1; thread <= 8; ++thread) {
        const int frames = thread == 1 ? 40 : 8;
        for (int frame = 0; frame < frames; ++frame) {
            ReportStackEntry entry;
            entry.kind = ReportStackEntry::Line;
            entry.address = 0x401000 + static_cast<std::uintptr_t>(frame) * 0x40;
            entry.moduleName = "cadastro";
            entry.unitName = "registry_form.cpp";
            entry.className = "TRegistryForm";
            entry.procedureName = "HandleKeyPress" + std::to_string(frame);
            entry.line = 100 + frame;
            entry.lineOffset = frame % 7;
            entry.threadId = thread;
            entry.exceptionAddress = thread == 1 && frame == 0;
            parts.stack.push_back(entry);
        }
        parts.threads.push_back({thread, "Normal", thread == 1 ? "" : "TWorker", thread == 1});
    }
    parts.modules = LoadedModules();
    if (collect) {
        parts.general.system = CollectSystemFacts("/proc/self/exe");
        parts.processes = CollectProcesses();
    }
    return parts;
}

void BuildFromCollectedParts(benchmark::State& state) {
    const ReportParts parts = Parts(true);
    const ReportTexts texts = ReportTexts::Defaults();
    for (auto _ : state) {
        benchmark::DoNotOptimize(BugReport::Build(parts, {}, texts));
    }
}
BENCHMARK(BuildFromCollectedParts)->Unit(benchmark::kMillisecond);

void CollectAndBuild(benchmark::State& state) {
    const ReportTexts texts = ReportTexts::Defaults();
    for (auto _ : state) {
        benchmark::DoNotOptimize(BugReport::Build(Parts(true), {}, texts));
    }
}
BENCHMARK(CollectAndBuild)->Unit(benchmark::kMillisecond);

void AppendToAFullLog(benchmark::State& state) {
    const std::string report = BugReport::Build(Parts(true), {}, ReportTexts::Defaults()).Text();
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("ftbench" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const LogLocation location{folder / "bench.ftlog", folder / "fallback.ftlog"};
    ReportSettings settings;
    settings.sendEntireLog = true;
    for (int i = 0; i < 32; ++i) {
        WriteReportToLog(settings, location, report, true);
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(WriteReportToLog(settings, location, report, true));
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(AppendToAFullLog)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace faulttrap

BENCHMARK_MAIN();
