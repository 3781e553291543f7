#include "crashreport/trackers/tests/fake_tracker_fixture.h"

#include <sstream>

namespace faulttrap::test {

namespace {

std::string Hexadecimal(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (const unsigned char byte : bytes) {
        text += digits[byte >> 4];
        text += digits[byte & 15];
    }
    return text;
}

} // namespace

void FakeTrackerTest::StartTracker(const std::string& tracker, std::vector<std::string> arguments) {
    const auto records = folder_.Path() / "records";
    // A tracker started again starts with a clean record.
    tracker_.reset();
    std::filesystem::remove_all(records);
    std::filesystem::create_directory(records);
    arguments.insert(arguments.begin(), {"--record", records.string(), "--tracker", tracker});
    tracker_ = std::make_unique<TPeerProcess>("fake_tracker.py", arguments,
                                              folder_.Path() / "tracker.log");
}

std::string FakeTrackerTest::Url() const {
    return "http://127.0.0.1:" + std::to_string(tracker_->Port()) + "/bugs";
}

std::vector<TTrackerRequest> FakeTrackerTest::Received() const {
    std::vector<TTrackerRequest> requests;
    for (const std::string& text : RecordedRequests(folder_.Path() / "records")) {
        std::istringstream lines(text);
        TTrackerRequest request;
        std::getline(lines, request.line);
        for (std::string field; std::getline(lines, field);) {
            request.fields.push_back(field);
        }
        requests.push_back(std::move(request));
    }
    return requests;
}

TTrackerReport FakeTrackerTest::Report() const {
    TTrackerReport report;
    report.version = "2.1";
    report.className = "EAccessViolation";
    report.message = "Access violation at address 0040";
    report.bugId = "1A2B";
    report.user = "ana";
    report.password = "segredo";
    report.project = "Pharmacy";
    report.category = "Crashes";
    report.assignedTo = "bruno";
    report.packedFile = archive_;
    return report;
}

std::string FakeTrackerTest::ArchivePart(const std::string& field) const {
    return field + "=@BugReport.zip:" + Hexadecimal(FileBytes(archive_));
}

} // namespace faulttrap::test
