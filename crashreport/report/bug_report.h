#pragma once

// A bug report: its text, the general part that sections are inserted after, and the copy that
// is delivered.

#include "crashreport/report/general_facts.h"
#include "crashreport/report/report_inputs.h"
#include "crashreport/report/report_texts.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace faulttrap {

struct ReportParts {
    GeneralFacts general;
    std::vector<ReportStackEntry> stack;
    std::vector<ReportThread> threads;
    std::vector<ReportModule> modules;
    std::vector<ReportProcess> processes;
    std::vector<std::string> assemblerListing; // lines from the disassembler
    ReportCpuState cpu;
};

class BugReport {
public:
    static BugReport Build(const ReportParts& parts, const ReportSettings& settings,
                           const ReportTexts& texts);

    const std::string& GeneralPart() const { return generalPart_; }
    const std::string& Text() const { return text_; }
    const std::string& DeliveryText() const { return deliveryText_; }
    // With SendEntireLog the whole log is delivered instead.
    void SetDeliveryText(std::string text) { deliveryText_ = std::move(text); }

    // A section numbered 8 after the general part, one item per pair (trimmed); nothing when
    // there is no pair.
    void InsertSection(std::string_view title,
                       const std::vector<std::pair<std::string, std::string>>& items);
    // The steps to reproduce as one item with an empty label; nothing when empty.
    void InsertSteps(std::string_view title, std::string_view steps);

    // The value of item 3.3 ("Email") when the report shows it.
    void ReplaceEmail(std::string_view address);

private:
    void InsertFormatted(const std::string& section);

    std::string generalPart_;
    std::string text_;
    std::string deliveryText_;
};

} // namespace faulttrap
