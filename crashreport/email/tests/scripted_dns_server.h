#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

namespace faulttrap::testing {

// A DNS responder on a loopback UDP port that answers each query with what the test's function
// returns (nothing for an empty answer): for replies no real server would send.
class ScriptedDnsServer {
public:
    using TAnswer = std::function<std::string(const std::string& query)>;

    explicit ScriptedDnsServer(TAnswer answer);
    ~ScriptedDnsServer();
    ScriptedDnsServer(const ScriptedDnsServer&) = delete;
    ScriptedDnsServer& operator=(const ScriptedDnsServer&) = delete;

    std::uint16_t Port() const { return port_; }
    int Queries() const { return queries_; }

private:
    TAnswer answer_;
    int socket_ = -1;
    std::uint16_t port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<int> queries_{0};
    std::thread thread_;
};

} // namespace faulttrap::testing
