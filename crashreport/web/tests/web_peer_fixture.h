#pragma once

#include "crashreport/web/tests/peer_process.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace faulttrap::test {

// A test with the web peer running on loopback, recording into a folder of the test's own.
class WebPeerTest : public testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directory(records_);
        server_ = std::make_unique<TPeerProcess>(
            "web_peer.py", std::vector<std::string>{"--record", records_.string()},
            folder_.Path() / "server.log");
    }

    std::string ServerAddress() const { return "127.0.0.1:" + std::to_string(server_->Port()); }
    std::vector<std::string> Received() const { return RecordedRequests(records_); }

    // Starts the forwarding proxy, which asks for `credentials` ("user:password").
    std::unique_ptr<TPeerProcess> StartProxy(const std::filesystem::path& records,
                                             const std::string& credentials) const {
        std::filesystem::create_directory(records);
        return std::make_unique<TPeerProcess>("web_peer.py",
                                              std::vector<std::string>{"--record", records.string(),
                                                                       "--proxy", "--proxy-auth",
                                                                       credentials},
                                              folder_.Path() / "proxy.log");
    }

    TTempFolder folder_;
    std::filesystem::path records_ = folder_.Path() / "records";
    std::unique_ptr<TPeerProcess> server_;
};

// The header block of a recorded request, and its body.
inline std::string HeadOf(const std::string& request) {
    return request.substr(0, request.find("\r\n\r\n") + 4);
}
inline std::string BodyOf(const std::string& request) {
    return request.substr(request.find("\r\n\r\n") + 4);
}

// A port on loopback where nothing listens.
int ClosedPort();

} // namespace faulttrap::test
