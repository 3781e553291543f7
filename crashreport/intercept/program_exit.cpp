#include "crashreport/intercept/program_exit.h"

#include "crashreport/intercept/activation.h"
#include "crashreport/intercept/restart_marker.h"
#include "crashreport/intercept/runtime_state.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

extern char** environ;

namespace faulttrap {

namespace {

// The environment of the new process: this one's, with the restart marker replaced.
std::vector<std::string> RestartEnvironment(const RestartMarker& marker) {
    const std::string prefix = std::string(kRestartVariable) + "=";
    std::vector<std::string> variables;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        if (std::strncmp(*variable, prefix.c_str(), prefix.size()) != 0) {
            variables.emplace_back(*variable);
        }
    }
    variables.push_back(prefix + FormatRestartMarker(marker));
    return variables;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace

void RequestTerminateOrRestart(TFaultAction action) {
    if (!IsActive() || action == TFaultAction::None) {
        return;
    }
    RunTimeState().pendingAction = action;
    MainModuleOptions().SetTerminateAction(action);
}

TFaultAction PendingAction() {
    return RunTimeState().pendingAction;
}

void ClearPendingAction() {
    RunTimeState().pendingAction = TFaultAction::None;
}

bool StartProgramAgain() {
    const std::optional<RestartMarker> next =
        NextRestartMarker(ParseRestartMarker(std::getenv(kRestartVariable)), std::time(nullptr));
    if (!next) {
        return false; // restarted too often within a short time: this failure ends the program
    }
    std::vector<std::string> commandLine = CommandLine();
    std::vector<std::string> environment = RestartEnvironment(*next);
    const std::vector<char*> arguments = Pointers(commandLine);
    const std::vector<char*> variables = Pointers(environment);
    const std::string& directory = StartupDirectory();
    const pid_t child = ::fork();
    if (child == 0) {
        // Only async-signal-safe calls between fork and exec: the parent has other threads.
        if (!directory.empty() && ::chdir(directory.c_str()) != 0) {
            ::_exit(127);
        }
        ::execve("/proc/self/exe", arguments.data(), variables.data());
        ::_exit(127);
    }
    return child > 0;
}

void CarryOutAction(TFaultAction action, bool afterFault) {
    if (action == TFaultAction::Restart) {
        StartProgramAgain();
    }
    FinaliseForTermination(afterFault);
    ::_exit(1);
}

void EndProcessAfterFault() {
    CarryOutAction(PendingAction() == TFaultAction::Restart ? TFaultAction::Restart
                                                            : TFaultAction::Terminate,
                   true);
}

} // namespace faulttrap
