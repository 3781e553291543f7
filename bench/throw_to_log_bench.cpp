// From a throw 30 frames down to its report in the log, with 8 other threads running, whose
// stacks the report lists too. FaultTrap runs as in a program: linked, its data embedded, the
// default options except for no dialog. The log keeps its default 32 reports, so after the
// first runs each report also rewrites a full log.

#include "crashreport/intercept/activation.h"
#include "crashreport/intercept/dispatcher.h"
#include "crashreport/report/log_file.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

constexpr int kFrames = 30;
constexpr int kThreads = 8;

std::atomic<bool> stop{false};
volatile double sink = 0;

__attribute__((noinline)) void Down(int frames) {
    volatile char frame[64];
    frame[0] = static_cast<char>(frames);
    if (frames == 0) {
        throw std::runtime_error("benchmark failure");
    }
    Down(frames - 1);
    sink = sink + frame[0];
}

// A thread that works in short bursts a few frames down its stack until told to stop.
__attribute__((noinline)) void Work(int frames) {
    if (frames > 0) {
        Work(frames - 1);
        return;
    }
    while (!stop) {
        double value = 0;
        for (int i = 0; i < 2000; ++i) {
            value += std::sqrt(static_cast<double>(i));
        }
        sink = value;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void ThrowToLog(benchmark::State& state) {
    const auto folder = std::filesystem::temp_directory_path() / "faulttrap-throw-to-log-bench";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    auto& options = faulttrap::MainModuleOptions();
    options.SetLogFolder((folder / "bench.ftlog").string());
    options.SetExceptionDialogType(faulttrap::TFaultDialogType::None);
    options.SetErrorFloodAction(faulttrap::TFaultAction::None);

    stop = false;
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i) {
        threads.emplace_back(Work, 5);
    }
    for (auto _ : state) {
        try {
            Down(kFrames);
        } catch (...) {
            faulttrap::ExceptionManager(std::current_exception());
        }
    }
    stop = true;
    for (std::thread& thread : threads) {
        thread.join();
    }
    const auto log = folder / "bench.ftlog";
    if (!std::filesystem::exists(log) ||
        faulttrap::TLogFile(log, faulttrap::LogFileAccess::ReadOnly).Count() == 0) {
        state.SkipWithError("no report reached the log");
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(ThrowToLog)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(40);

} // namespace

int main(int argc, char** argv) {
    if (!faulttrap::IsActive()) {
        return 1; // the data container is missing: nothing to measure
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
