#pragma once

#include "crashreport/web/send_progress_receiver.h"

#include <string>
#include <vector>

namespace faulttrap::test {

// Writes down what the send progress window is told, "status:<text>" and "bar:<percent>".
class TProgressLog : public TSendProgressReceiver {
public:
    void SetSendStatus(const std::string& text) override { events.push_back("status:" + text); }
    void SetSendProgress(int percent) override {
        events.push_back("bar:" + std::to_string(percent));
    }
    std::vector<std::string> events;
};

} // namespace faulttrap::test
