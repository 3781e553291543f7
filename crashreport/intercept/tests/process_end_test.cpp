// How a process that carries FaultTrap ends: a restart that fails again is not restarted for
// ever, nothing is left in the temporary folder, the options blocks of ended processes go, and a
// report never asks a debug-information server.

#include "crashreport/intercept/tests/crash_run.h"

#include "crashreport/intercept/restart_marker.h"
#include "crashreport/options/shared_options_block.h"
#include "crashreport/report/log_file.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace faulttrap::testing {
namespace {

std::vector<std::string> Lines(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

struct MarkerCase {
    const char* text;                // the variable's value in the process that restarts
    std::int64_t now;                // when it restarts
    std::optional<std::string> next; // the marker of the new process; none: refused
};

class RestartMarkerTest : public ::testing::TestWithParam<MarkerCase> {};

TEST_P(RestartMarkerTest, CountsRestartsWithinAMinute) {
    const MarkerCase& c = GetParam();
    const std::optional<RestartMarker> next = NextRestartMarker(ParseRestartMarker(c.text), c.now);
    ASSERT_EQ(next.has_value(), c.next.has_value());
    if (next) {
        EXPECT_EQ(FormatRestartMarker(*next), *c.next);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rule, RestartMarkerTest,
    ::testing::Values(MarkerCase{nullptr, 1000, "1:1000"},      // first restart
                      MarkerCase{"1:1000", 1010, "2:1000"},     // again within the minute
                      MarkerCase{"2:1000", 1059, "3:1000"},     // the third one
                      MarkerCase{"3:1000", 1059, std::nullopt}, // a fourth: refused
                      MarkerCase{"3:1000", 1060, "1:1060"},     // the minute is over
                      MarkerCase{"3:1000", 900, "1:900"},       // the clock went back
                      MarkerCase{"garbage", 1000, "1:1000"},    // malformed: not a restart
                      MarkerCase{"0:1000", 1000, "1:1000"}, MarkerCase{"2:1000x", 1000, "1:1000"}));

// A program that faults at once and restarts itself on every error: three restarts, then the
// fourth failure ends it with its report.
TEST(ProcessEnd, ARestartThatFailsAgainStopsAfterThreeRestarts) {
    const auto folder = FreshFolder("restart-loop");
    const auto log = folder / "crash.ftlog";
    const auto starts = folder / "starts.txt";
    const CrashRun run =
        RunCrashers({"null-write", "--log", log.string(), "--dialog", "0", "--flood-action", "2",
                     "--flood-count", "1", "--flood-minutes", "1", "--start-log", starts.string()});
    EXPECT_FALSE(run.timedOut);
    EXPECT_FALSE(run.leftovers);
    EXPECT_EQ(run.exitCode, 1) << run.errors;
    EXPECT_EQ(Lines(starts).size(), 1u + kMostRestarts);
    TLogFile file(log, LogFileAccess::ReadOnly);
    EXPECT_EQ(file.Count(), 1 + kMostRestarts);
    std::filesystem::remove_all(folder);
}

// The options file of the finalisation is gone once the process has ended, normally or by a
// fault; the temporary folder is the program's own for the test.
TEST(ProcessEnd, LeavesNothingInTheTemporaryFolder) {
    for (const std::string failure : {"caught-silently", "null-write", "out-of-range"}) {
        const auto folder = FreshFolder("tmp-" + failure);
        const auto temporary = folder / "tmp";
        std::filesystem::create_directories(temporary);
        CrashSettings settings;
        settings.environment = {{"TMPDIR", temporary.string()}};
        const CrashRun run = RunCrashers(
            {failure, "--log", (folder / "crash.ftlog").string(), "--dialog", "0"}, settings);
        EXPECT_FALSE(run.timedOut) << failure;
        EXPECT_TRUE(std::filesystem::is_empty(temporary))
            << failure << ": " << std::filesystem::directory_iterator(temporary)->path();
        std::filesystem::remove_all(folder);
    }
}

// A process that ended without its finalisation left its options block; the next FaultTrap
// process of the user removes it, and leaves the blocks of running processes alone.
TEST(ProcessEnd, RemovesTheOptionsBlocksOfEndedProcesses) {
    const pid_t ended = ::fork();
    if (ended == 0) {
        ::_exit(0);
    }
    ::waitpid(ended, nullptr, 0);
    const std::string left = SharedOptionsBlockName(static_cast<std::uint32_t>(ended), 0x400000);
    const std::string running =
        SharedOptionsBlockName(static_cast<std::uint32_t>(::getpid()), 0x400000);
    for (const std::string& name : {left, running}) {
        const int fd = ::shm_open(name.c_str(), O_RDWR | O_CREAT, 0600);
        ASSERT_GE(fd, 0) << name;
        ::close(fd);
    }
    const auto folder = FreshFolder("stale-blocks");
    const CrashRun run = RunCrashers({"caught-silently", "--log", (folder / "crash.ftlog").string(),
                                      "--dialog", "0", "--linger", "600"});
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_FALSE(std::filesystem::exists("/dev/shm" + left));
    EXPECT_TRUE(std::filesystem::exists("/dev/shm" + running));
    ::shm_unlink(running.c_str());
    std::filesystem::remove_all(folder);
}

// A debug-information server named in DEBUGINFOD_URLS, a real HTTP server on loopback that
// logs every request: a report of a fault in a library without debug data asks it nothing.
TEST(ProcessEnd, AReportNeverAsksADebugInformationServer) {
    const auto folder = FreshFolder("debuginfod");
    const auto requests = folder / "requests.txt";
    const auto portFile = folder / "port.txt";
    const pid_t server = ::fork();
    if (server == 0) {
        const int fd = ::open(requests.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(fd, STDERR_FILENO);
        const std::string script =
            "import http.server, socketserver, sys\n"
            "s = socketserver.TCPServer(('127.0.0.1', 0), http.server.SimpleHTTPRequestHandler)\n"
            "open(sys.argv[1], 'w').write(str(s.server_address[1]))\n"
            "s.serve_forever()\n";
        ::execl("/usr/bin/python3", "python3", "-c", script.c_str(), portFile.c_str(), nullptr);
        ::_exit(127);
    }
    for (int i = 0; i < 500 && Lines(portFile).empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const std::string port = Lines(portFile).empty() ? "" : Lines(portFile)[0];
    ASSERT_FALSE(port.empty());
    CrashSettings settings;
    settings.environment = {{"DEBUGINFOD_URLS", "http://127.0.0.1:" + port}};
    const auto log = folder / "crash.ftlog";
    const CrashRun run =
        RunCrashers({"library-fault", "--log", log.string(), "--dialog", "0"}, settings);
    ::kill(server, SIGTERM);
    ::waitpid(server, nullptr, 0);
    EXPECT_EQ(run.exitCode, 1) << run.errors;
    TLogFile file(log, LogFileAccess::ReadOnly);
    EXPECT_EQ(file.Count(), 1);
    const std::vector<std::string> asked = Lines(requests);
    EXPECT_TRUE(asked.empty()) << asked.size() << " requests, the first: " << asked.front();
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace faulttrap::testing
