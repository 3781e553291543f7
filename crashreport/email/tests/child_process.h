#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace faulttrap::testing {

// A program the test starts (a real server), stopped by its own process id at the end. Its
// output goes to `outputFile`.
class ChildProcess {
public:
    ChildProcess(const std::vector<std::string>& arguments, const std::string& outputFile);
    ~ChildProcess();
    ChildProcess(ChildProcess&& other) noexcept : pid_(other.pid_) { other.pid_ = -1; }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return pid_ > 0; }
    // Stops the program and waits for it; its output is then complete.
    void Stop();

private:
    int pid_ = -1;
};

// A socket of `socketType` bound to 127.0.0.1 on a free port, which `port` receives.
int BindLoopback(int socketType, std::uint16_t& port);
// dnsmasq on 127.0.0.1:`port`, answering MX queries for `domain` with `exchange`, log to `log`.
ChildProcess StartDnsmasq(std::uint16_t port, const std::string& domain,
                          const std::string& exchange, const std::string& log);

// A port on 127.0.0.1 that was free a moment ago, for a server that cannot be given port 0.
unsigned short FreeLoopbackPort(int socketType);
// Waits up to `timeoutMs` until a TCP connection to the port succeeds.
bool WaitForTcpPort(unsigned short port, int timeoutMs);

} // namespace faulttrap::testing
