#pragma once

#include "crashreport/email/delivery_events.h"
#include "crashreport/email/send_progress.h"

#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace faulttrap::testing {

// Keeps what a delivery told the progress window, in order.
class RecordingProgress : public TSendProgress {
public:
    void Open(bool keepInFront) override { Add("open " + std::to_string(keepInFront)); }
    void Close() override { Add("close"); }
    void SetSendStatus(const std::string& text) override { Add(text); }
    void SetSendStatusCounted(const std::string& text, std::size_t number,
                              std::size_t count) override {
        Add(text + " " + std::to_string(number) + "/" + std::to_string(count));
    }
    void SetProgress(int percent) override {
        const std::lock_guard<std::mutex> lock(mutex_);
        percents.push_back(percent);
    }
    void ShowError(const std::string& caption, const std::string& text) override {
        Add("error box " + caption + " " + text.substr(0, text.find('\r')));
    }

    std::vector<std::string> steps;
    std::vector<int> percents;

private:
    void Add(std::string step) {
        const std::lock_guard<std::mutex> lock(mutex_);
        steps.push_back(std::move(step));
    }
    std::mutex mutex_;
};

// Keeps the events of a delivery; retries as often as asked.
class RecordingEvents : public TDeliveryEvents {
public:
    bool ActionNotify(int action) override {
        actions.push_back(action);
        return executeEmail || action != delivery_action::BeforeEmail;
    }
    bool ErrorNotify(int error) override {
        errors.push_back(error);
        return retries-- > 0;
    }
    void AttachedFilesRequest(std::vector<std::string>& paths) override {
        requested = paths;
        paths.insert(paths.end(), added.begin(), added.end());
    }
    void Warning(TFaultTrapErrorCode code, const std::string& text) override {
        warnings.emplace_back(code, text);
    }

    bool executeEmail = true;
    int retries = 0;
    std::vector<std::string> added;
    std::vector<int> actions;
    std::vector<int> errors;
    std::vector<std::string> requested;
    std::vector<std::pair<TFaultTrapErrorCode, std::string>> warnings;
};

} // namespace faulttrap::testing
