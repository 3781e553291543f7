#include "crashreport/report/bug_report.h"

#include "crashreport/report/cpu_section.h"
#include "crashreport/report/general_part.h"
#include "crashreport/report/log_item.h"
#include "crashreport/report/module_sections.h"
#include "crashreport/report/report_text.h"
#include "crashreport/report/stack_section.h"
#include "crashreport/report/text_table.h"

namespace faulttrap {

namespace {

void ReplaceEmailIn(std::string& text, std::string_view address) {
    const std::size_t line = text.find("\r\n  3.3 ");
    if (line == std::string::npos) {
        return;
    }
    const std::size_t lineEnd = text.find(kCrLf, line + 2);
    const std::size_t separator = text.find(": ", line + 2);
    if (separator == std::string::npos || separator > lineEnd) {
        return;
    }
    const std::size_t valueStart = separator + 2;
    text.replace(valueStart, (lineEnd == std::string::npos ? text.size() : lineEnd) - valueStart,
                 address);
}

} // namespace

BugReport BugReport::Build(const ReportParts& parts, const ReportSettings& settings,
                           const ReportTexts& texts) {
    BugReport report;
    report.generalPart_ = faulttrap::GeneralPart(parts.general, settings, texts);
    std::string text = report.generalPart_ + std::string(kCrLf);
    text += StackSection(parts.stack, parts.threads, settings.stackOptions, texts);
    if (settings.collectModulesAndProcesses) {
        text += ModulesSection(parts.modules, texts);
        text += ProcessesSection(parts.processes, texts);
    } else {
        text += EmptySectionHeading(texts[TextId::ModulesInformation]);
        text += EmptySectionHeading(texts[TextId::ProcessesInformation]);
    }
    text += AssemblerAndCpuSections(parts.assemblerListing, parts.cpu,
                                    settings.collectAssemblerAndCPU, texts);
    report.text_ = text;
    report.deliveryText_ = std::move(text);
    return report;
}

void BugReport::InsertSection(std::string_view title,
                              const std::vector<std::pair<std::string, std::string>>& items) {
    if (items.empty()) {
        return;
    }
    TLogItem section(7);
    section.AddHeading(title);
    for (const auto& [name, value] : items) {
        section.AddItem(Trim(name), Trim(value));
    }
    InsertFormatted(section.Format());
}

void BugReport::InsertSteps(std::string_view title, std::string_view steps) {
    if (steps.empty()) {
        return;
    }
    TLogItem section(7);
    section.AddHeading(title);
    section.AddItem("", steps);
    InsertFormatted(section.Format());
}

void BugReport::InsertFormatted(const std::string& section) {
    // The report is the general part, an empty line and the rest; the section goes after the
    // empty line and is then part of the general part.
    const std::string inserted = section + std::string(kCrLf);
    const std::size_t at = generalPart_.size() + kCrLf.size();
    text_.insert(at, inserted);
    if (deliveryText_.compare(0, generalPart_.size(), generalPart_) == 0) {
        deliveryText_.insert(at, inserted);
    }
    generalPart_ += std::string(kCrLf) + section;
}

void BugReport::ReplaceEmail(std::string_view address) {
    // An address is one line: a line break in it would break the report's layout.
    std::string oneLine(address);
    for (char& c : oneLine) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    ReplaceEmailIn(generalPart_, oneLine);
    ReplaceEmailIn(text_, oneLine);
    ReplaceEmailIn(deliveryText_, oneLine);
}

} // namespace faulttrap
