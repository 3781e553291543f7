#include "intercept/program_exit.h"

#include "intercept/activation.h"
#include "intercept/runtime_state.h"

#include <unistd.h>

#include <cstdio>
#include <vector>

namespace faulttrap {

void RequestTerminateOrRestart(TFaultAction action) {
    if (!IsActive() || action == TFaultAction::None)
        return;
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
    const std::vector<std::string>& commandLine = CommandLine();
    std::vector<char*> arguments;
    for (const std::string& argument : commandLine)
        arguments.push_back(const_cast<char*>(argument.c_str()));
    arguments.push_back(nullptr);
    const std::string& directory = StartupDirectory();
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        // Only async-signal-safe calls between fork and exec: the parent has other threads.
        if (!directory.empty() && ::chdir(directory.c_str()) != 0)
            ::_exit(127);
        ::execv("/proc/self/exe", arguments.data());
        ::_exit(127);
    }
    return child > 0;
}

void CarryOutAction(TFaultAction action) {
    if (action == TFaultAction::Restart)
        StartProgramAgain();
    FinaliseForTermination();
    ::_exit(1);
}

void EndProcessAfterFault() {
    CarryOutAction(PendingAction() == TFaultAction::Restart ? TFaultAction::Restart
                                                            : TFaultAction::Terminate);
}

} // namespace faulttrap
