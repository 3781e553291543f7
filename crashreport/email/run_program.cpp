#include "crashreport/email/run_program.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>

extern char** environ;

namespace faulttrap {

std::optional<int> RunProgram(const std::vector<std::string>& arguments, std::string& error) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    pid_t child = 0;
    if (const int result = posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ);
        result != 0) {
        error = std::strerror(result);
        return std::nullopt;
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            error = std::strerror(errno);
            return std::nullopt;
        }
    }
    if (!WIFEXITED(status)) {
        error = "The program did not end normally.";
        return std::nullopt;
    }
    return WEXITSTATUS(status);
}

} // namespace faulttrap
