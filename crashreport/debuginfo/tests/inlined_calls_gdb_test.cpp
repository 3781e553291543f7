// A real fault three inlined calls deep, reported through FaultTrap: the exception thread's rows
// carry every function and line of the debugger's backtrace of the same failure, in order.

#include "crashreport/intercept/tests/crash_run.h"

#include "crashreport/report/log_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <regex>
#include <sstream>

namespace faulttrap::testing {
namespace {

struct Frame {
    std::string procedure;
    std::string file; // without folder
    int line = 0;

    bool operator==(const Frame&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Frame& frame) {
    return out << frame.procedure << " " << frame.file << ":" << frame.line;
}

std::string Describe(const std::vector<Frame>& frames) {
    std::ostringstream text;
    for (const Frame& frame : frames) {
        text << "  " << frame << "\n";
    }
    return text.str();
}

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    const auto last = text.find_last_not_of(' ');
    return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

// Drops a balanced "(...)" that ends the text.
std::string WithoutTrailingParentheses(std::string text) {
    text = Trimmed(text);
    if (text.empty() || text.back() != ')') {
        return text;
    }
    int depth = 0;
    for (std::size_t i = text.size(); i-- > 0;) {
        if (text[i] == ')') {
            ++depth;
        } else if (text[i] == '(' && --depth == 0) {
            return Trimmed(text.substr(0, i));
        }
    }
    return text;
}

// The last name of a qualified C++ name, outside template arguments.
std::string LastName(const std::string& name) {
    int depth = 0;
    for (std::size_t i = name.size(); i-- > 1;) {
        if (name[i] == '>') {
            ++depth;
        } else if (name[i] == '<') {
            --depth;
        } else if (depth == 0 && name[i] == ':' && name[i - 1] == ':') {
            return name.substr(i + 1);
        }
    }
    return name;
}

// "#3  0x... in ns::f(int) const (a=1) at /path/file.cpp:12" and "#1  main (...) at ...".
std::vector<Frame> DebuggerBacktrace(const std::string& output) {
    static const std::regex frameLine(R"(^#\d+\s+(?:0x[0-9a-f]+ in )?(.*) at (.*):(\d+)$)");
    std::vector<Frame> frames;
    std::istringstream in(output);
    for (std::string line; std::getline(in, line);) {
        std::smatch match;
        if (!std::regex_match(line, match, frameLine)) {
            continue;
        }
        std::string function = WithoutTrailingParentheses(match[1]); // the arguments
        if (function.ends_with(" const")) {
            function.resize(function.size() - 6);
        }
        function = WithoutTrailingParentheses(function); // the parameter types
        frames.push_back({LastName(function),
                          std::filesystem::path(match[2].str()).filename().string(),
                          std::stoi(match[3])});
    }
    return frames;
}

// The rows of the report's exception-thread block:
// "|address|module|unit|class|procedure|line[offset]|".
std::vector<Frame> ExceptionThreadRows(const std::string& report) {
    std::vector<Frame> frames;
    const std::size_t caption = report.find("*Exception Thread: ID=");
    if (caption == std::string::npos) {
        return frames;
    }
    std::istringstream in(report.substr(report.find('\n', caption) + 1));
    bool started = false;
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> cells;
        std::istringstream row(line);
        for (std::string cell; std::getline(row, cell, '|');) {
            cells.push_back(Trimmed(cell));
        }
        if (cells.size() < 7 ||
            cells[1].find_first_not_of("0123456789ABCDEF") != std::string::npos ||
            cells[1].empty()) {
            if (started) {
                break;
            }
            continue;
        }
        started = true;
        const std::string lineCell = cells[6];
        frames.push_back(
            {cells[5], cells[3],
             lineCell.empty() ? 0 : std::stoi(lineCell.substr(0, lineCell.find('[')))});
    }
    return frames;
}

std::string CommandOutput(const std::string& command) {
    std::string output;
    const std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    if (!pipe) {
        return output;
    }
    std::array<char, 4096> buffer;
    while (const std::size_t read = std::fread(buffer.data(), 1, buffer.size(), pipe.get())) {
        output.append(buffer.data(), read);
    }
    return output;
}

TEST(InlinedCallsAgainstTheDebugger, ReportRowsCarryEveryFrameOfTheBacktrace) {
    const auto folder = FreshFolder("inlined-calls-crash");
    const CrashRun run = RunProgram(INLINED_CALLS_CRASH_PROGRAM, {folder.string() + "/"});
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 1) << run.errors;
    const auto log = folder / "inlined_calls_crash.ftlog";
    ASSERT_TRUE(std::filesystem::exists(log)) << run.output << run.errors;
    const TLogFile file(log, LogFileAccess::ReadOnly);
    ASSERT_EQ(file.Count(), 1);
    const std::vector<Frame> rows = ExceptionThreadRows(file.Report(0));

    // The same binary failing the same way under the debugger, stopped at the fault.
    const auto debuggerFolder = FreshFolder("inlined-calls-crash-debugger");
    const std::string output = CommandOutput("timeout 120 gdb -batch -nx -ex run -ex bt --args " +
                                             std::string(INLINED_CALLS_CRASH_PROGRAM) + " " +
                                             debuggerFolder.string() + "/ 2>&1");
    const std::vector<Frame> backtrace = DebuggerBacktrace(output);
    ASSERT_GE(backtrace.size(), 6u) << output;

    // The known shape: the fault two or three inlined calls deep in Outer (the compiler may
    // count the faulting store to StoreValue's caller), which std::function's inlined call
    // operator calls from main.
    const std::vector<std::string> inlined{"StoreValue", "Level2", "Level1", "Outer"};
    const auto outer = std::find_if(backtrace.begin(), backtrace.end(),
                                    [](const Frame& frame) { return frame.procedure == "Outer"; });
    ASSERT_NE(outer, backtrace.end()) << output;
    const auto depth = static_cast<std::size_t>(outer - backtrace.begin());
    ASSERT_GE(depth, 2u) << output;
    ASSERT_LE(depth, 3u) << output;
    for (std::size_t i = 0; i <= depth; ++i) {
        const std::string& procedure = inlined[inlined.size() - 1 - depth + i];
        EXPECT_EQ(backtrace[i].procedure, procedure) << output;
        EXPECT_EQ(backtrace[i].line, MarkedLine(INLINED_CALLS_CRASH_SOURCE, procedure)) << output;
    }
    EXPECT_TRUE(std::any_of(outer, backtrace.end(), [](const Frame& frame) {
        return frame.procedure == "operator()" && frame.file == "std_function.h";
    })) << output;
    EXPECT_EQ(backtrace.back().procedure, "main") << output;
    EXPECT_EQ(backtrace.back().line, MarkedLine(INLINED_CALLS_CRASH_SOURCE, "main")) << output;

    // The report starts where the debugger does and holds its every frame, in order (a scan of
    // the stack may find stale return addresses between them).
    ASSERT_FALSE(rows.empty()) << file.Report(0);
    EXPECT_EQ(rows.front(), backtrace.front());
    std::size_t next = 0;
    for (const Frame& row : rows) {
        if (next < backtrace.size() && row == backtrace[next]) {
            ++next;
        }
    }
    EXPECT_EQ(next, backtrace.size()) << "debugger:\n"
                                      << Describe(backtrace) << "report:\n"
                                      << Describe(rows) << "missing from: " << backtrace[next];
    std::filesystem::remove_all(folder);
    std::filesystem::remove_all(debuggerFolder);
}

} // namespace
} // namespace faulttrap::testing
