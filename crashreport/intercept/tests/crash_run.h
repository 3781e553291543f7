#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace faulttrap::testing {

// What one run of the crash test program left behind.
struct CrashRun {
    int exitCode = -1;      // -1 when it did not exit normally
    int signal = 0;         // the signal that ended it, if any
    bool timedOut = false;  // killed after the time limit
    double seconds = 0;     // from the start to the end of the program
    bool leftovers = false; // processes of its group still ran after it ended
    std::string output;     // standard output
    std::string errors;     // standard error
};

// Where and how the crash test program runs.
struct CrashSettings {
    std::filesystem::path directory; // its start-up directory; empty: this process's
    std::vector<std::pair<std::string, std::string>> environment; // added to this process's
    int timeLimitSeconds = 30;
    // Standard output is a pipe whose reader has gone (as in "program | true").
    bool outputReaderGone = false;
};

// Runs `program` with `arguments` in its own process group and waits for it.
CrashRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                    const CrashSettings& settings = {});

// Runs the crash test program with `arguments` in its own process group and waits for it.
CrashRun RunCrashers(const std::vector<std::string>& arguments, const CrashSettings& settings);
CrashRun RunCrashers(const std::vector<std::string>& arguments, int timeLimitSeconds = 30);

// The line of `source` that carries "FAULT: <name>".
int MarkedLine(const std::string& source, const std::string& name);

// The source line that carries "FAULT: <name>" in the crash test program.
int FaultLine(const std::string& name);

// Whether a row of the report's call stack names `procedure` at `line`; CountStackRows counts
// such rows.
bool StackShows(const std::string& report, const std::string& procedure, int line);
int CountStackRows(const std::string& report, const std::string& procedure, int line);

// A fresh folder for one test's files.
std::filesystem::path FreshFolder(const std::string& name);

} // namespace faulttrap::testing
