#include "crashreport/intercept/tests/crash_run.h"

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

namespace faulttrap::testing {

namespace {

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Reaps the orphans of the group (a restarted program) first: they are reparented to this
// process, so a zombie does not count as a leftover.
bool GroupAlive(pid_t group) {
    while (::waitpid(-group, nullptr, WNOHANG) > 0) {
    }
    return ::kill(-group, 0) == 0;
}

} // namespace

std::filesystem::path FreshFolder(const std::string& name) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() /
        ("faulttrap-intercept-" + std::to_string(::getpid()) + "-" + name);
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

CrashRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                    const CrashSettings& settings) {
    const std::filesystem::path folder = FreshFolder("run");
    const std::filesystem::path out = folder / "out.txt";
    const std::filesystem::path err = folder / "err.txt";
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
    std::vector<std::string> all{program};
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& argument : all) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    const pid_t child = ::fork();
    if (child == 0) {
        ::setpgid(0, 0);
        if (!std::freopen(out.c_str(), "w", stdout) || !std::freopen(err.c_str(), "w", stderr)) {
            ::_exit(126);
        }
        if (settings.outputReaderGone) {
            int ends[2];
            if (::pipe(ends) != 0 || ::dup2(ends[1], STDOUT_FILENO) < 0) {
                ::_exit(126);
            }
            ::close(ends[0]);
            ::close(ends[1]);
            // A shell starts its pipeline with SIGPIPE's default action, whatever its parent had.
            ::signal(SIGPIPE, SIG_DFL);
        }
        if (!settings.directory.empty() && ::chdir(settings.directory.c_str()) != 0) {
            ::_exit(126);
        }
        for (const auto& [name, value] : settings.environment) {
            ::setenv(name.c_str(), value.c_str(), 1);
        }
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::setpgid(child, child);
    CrashRun run;
    int status = 0;
    const auto started = std::chrono::steady_clock::now();
    const auto deadline = started + std::chrono::seconds(settings.timeLimitSeconds);
    while (::waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            run.timedOut = true;
            ::kill(-child, SIGKILL);
            ::waitpid(child, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    if (WIFEXITED(status)) {
        run.exitCode = WEXITSTATUS(status);
    }
    if (WIFSIGNALED(status)) {
        run.signal = WTERMSIG(status);
    }
    // A restarted program belongs to the same group: give it the time to end on its own.
    for (int i = 0; i < 500 && GroupAlive(child); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    run.leftovers = GroupAlive(child);
    if (run.leftovers) {
        ::kill(-child, SIGKILL);
    }
    run.output = ReadFile(out);
    run.errors = ReadFile(err);
    std::filesystem::remove_all(folder);
    return run;
}

CrashRun RunCrashers(const std::vector<std::string>& arguments, const CrashSettings& settings) {
    return RunProgram(CRASHERS_PROGRAM, arguments, settings);
}

CrashRun RunCrashers(const std::vector<std::string>& arguments, int timeLimitSeconds) {
    CrashSettings settings;
    settings.timeLimitSeconds = timeLimitSeconds;
    return RunCrashers(arguments, settings);
}

int CountStackRows(const std::string& report, const std::string& procedure, int line) {
    const std::string cell = "|" + std::to_string(line) + "[";
    int rows = 0;
    std::size_t start = 0;
    while (start < report.size()) {
        const std::size_t end = report.find('\n', start);
        const std::string row = report.substr(start, end - start);
        if (row.find(procedure) != std::string::npos && row.find(cell) != std::string::npos) {
            ++rows;
        }
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return rows;
}

bool StackShows(const std::string& report, const std::string& procedure, int line) {
    return CountStackRows(report, procedure, line) > 0;
}

int FaultLine(const std::string& name) {
    return MarkedLine(CRASHERS_SOURCE, name);
}

int MarkedLine(const std::string& sourceFile, const std::string& name) {
    std::ifstream source(sourceFile);
    std::string line;
    const std::string mark = "// FAULT: " + name;
    for (int number = 1; std::getline(source, line); ++number) {
        if (line.size() >= mark.size() &&
            line.compare(line.size() - mark.size(), mark.size(), mark) == 0) {
            return number;
        }
    }
    return 0;
}

} // namespace faulttrap::testing
