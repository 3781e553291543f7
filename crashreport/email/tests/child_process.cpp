#include "crashreport/email/tests/child_process.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

extern char** environ;

namespace faulttrap::testing {

ChildProcess::ChildProcess(const std::vector<std::string>& arguments,
                           const std::string& outputFile) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        pid_ = pid;
    }
    posix_spawn_file_actions_destroy(&actions);
}

ChildProcess::~ChildProcess() {
    Stop();
}

void ChildProcess::Stop() {
    if (pid_ <= 0) {
        return;
    }
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
}

int BindLoopback(int socketType, std::uint16_t& port) {
    const int bound = socket(AF_INET, socketType | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(bound, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t size = sizeof address;
    getsockname(bound, reinterpret_cast<sockaddr*>(&address), &size);
    port = ntohs(address.sin_port);
    return bound;
}

ChildProcess StartDnsmasq(std::uint16_t port, const std::string& domain,
                          const std::string& exchange, const std::string& log) {
    return ChildProcess({"dnsmasq", "-d", "-p", std::to_string(port), "--listen-address=127.0.0.1",
                         "--bind-interfaces", "--no-resolv", "--no-hosts", "--conf-file=/dev/null",
                         "--pid-file=", "--user=root",
                         "--mx-host=" + domain + "," + exchange + ",10"},
                        log);
}

unsigned short FreeLoopbackPort(int socketType) {
    std::uint16_t port = 0;
    close(BindLoopback(socketType, port));
    return port;
}

bool WaitForTcpPort(unsigned short port, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        const int probe = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const bool open =
            connect(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        close(probe);
        if (open) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

} // namespace faulttrap::testing
