#include "crashreport/dialogs/dialog_report.h"

#include "crashreport/report/bug_report.h"

namespace faulttrap {

std::string BugReportForDialogs::Text() const {
    return report_.Text();
}

void BugReportForDialogs::InsertSteps(std::string_view title, std::string_view steps) {
    report_.InsertSteps(title, steps);
}

void BugReportForDialogs::ReplaceEmail(std::string_view address) {
    report_.ReplaceEmail(address);
}

} // namespace faulttrap
