#pragma once

#include "crashreport/intercept/report_stage.h"
#include "crashreport/options/option_types.h"

#include <atomic>
#include <chrono>
#include <deque>
#include <mutex>
#include <string>

namespace faulttrap {

// The run-time state of the exception processing: one per process, guarded by the processing
// lock (the dispatcher runs one processing at a time) except where atomic.
struct TFaultRunTimeState {
    std::string lastReport;
    std::string deliveryReport;
    std::string generalSections;
    std::string lastMessage;
    std::string lastClass;
    std::string customMessage;
    std::string bugId;
    int exceptionCount = 0;
    std::deque<std::chrono::steady_clock::time_point> errorTimes;
    bool duplicate = false;
    std::string userEMail;
    std::string reproduceSteps;
    bool copyToClipboard = false; // the user's choice in the dialog, for this exception
    std::chrono::system_clock::time_point startTime = std::chrono::system_clock::now();
    std::atomic<ReportStage> reportStage{ReportStage::NotStarted};
    std::atomic<TFaultAction> pendingAction{TFaultAction::None};
};

TFaultRunTimeState& RunTimeState();

// The message of the current exception: the custom message when one is set, else the last
// exception message.
std::string CurrentExceptionMessage();
void SetCustomMessage(std::string message);

} // namespace faulttrap
