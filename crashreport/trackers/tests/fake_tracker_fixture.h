#pragma once

#include "crashreport/web/tests/peer_process.h"

#include "crashreport/trackers/http_send_report.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace faulttrap::test {

// What the fake tracker received in one request: "METHOD page", then "name=value" per field in
// the order they came (a file as "name=@filename:hexadecimal bytes").
struct TTrackerRequest {
    std::string line;
    std::vector<std::string> fields;
    bool operator==(const TTrackerRequest&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const TTrackerRequest& request) {
    out << request.line;
    for (const std::string& field : request.fields) {
        out << "\n  " << field;
    }
    return out;
}

// A test with a fake tracker (peers/fake_tracker.py) on loopback.
class FakeTrackerTest : public testing::Test {
protected:
    // Starts the fake `tracker` with the scenario `arguments`.
    void StartTracker(const std::string& tracker, std::vector<std::string> arguments = {});
    // The tracker's root address.
    std::string Url() const;
    std::vector<TTrackerRequest> Received() const;
    // A report of an access violation, with the archive attached.
    TTrackerReport Report() const;
    // The recorded form of the archive file part named `field`.
    std::string ArchivePart(const std::string& field) const;

    TTempFolder folder_;
    std::string archive_ = folder_.Write("BugReport.zip", std::string("PK\3\4\0\xff", 6));
    std::unique_ptr<TPeerProcess> tracker_;
};

} // namespace faulttrap::test
