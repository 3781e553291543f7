// The first report in a fresh process: from the throw to the report in the log, the process
// started anew for every iteration (FIRST_REPORT_PROGRAM measures itself). Once as the machine
// is, with the separate debug files of its -dbg packages under /usr/lib/debug, and once with
// that folder hidden (an empty folder mounted over it in a mount namespace of the child: needs
// the right to create one, else that case is skipped).

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

// Runs the program once; its figure in seconds, or a negative value when it failed.
double RunOnce(bool hideDebugFiles, const std::filesystem::path& folder) {
    const std::filesystem::path log = folder / "first.ftlog";
    const std::filesystem::path out = folder / "out.txt";
    std::filesystem::remove(log);
    const pid_t child = ::fork();
    if (child == 0) {
        if (hideDebugFiles &&
            (::unshare(CLONE_NEWNS) != 0 ||
             ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
             ::mount(folder.c_str(), "/usr/lib/debug", nullptr, MS_BIND, nullptr) != 0)) {
            ::_exit(4);
        }
        const int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(fd, STDOUT_FILENO);
        ::execl(FIRST_REPORT_PROGRAM, FIRST_REPORT_PROGRAM, log.c_str(), nullptr);
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return -static_cast<double>(WIFEXITED(status) ? WEXITSTATUS(status) : 128);
    }
    std::FILE* figure = std::fopen(out.c_str(), "r");
    long long microseconds = -1;
    if (figure == nullptr || std::fscanf(figure, "%lld", &microseconds) != 1) {
        microseconds = -1;
    }
    if (figure != nullptr) {
        std::fclose(figure);
    }
    return static_cast<double>(microseconds) / 1e6;
}

void FirstReport(benchmark::State& state, bool hideDebugFiles) {
    const auto folder = std::filesystem::temp_directory_path() /
                        ("faulttrap-first-report-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder / "empty");
    for (auto _ : state) {
        const double seconds = RunOnce(hideDebugFiles, folder / "empty");
        if (seconds < 0) {
            state.SkipWithError(seconds == -4 ? "cannot hide /usr/lib/debug here"
                                              : "the program failed");
            break;
        }
        state.SetIterationTime(seconds);
    }
    std::filesystem::remove_all(folder);
}

BENCHMARK_CAPTURE(FirstReport, with_debug_packages, false)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(20);
BENCHMARK_CAPTURE(FirstReport, without_debug_packages, true)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(20);

} // namespace

BENCHMARK_MAIN();
