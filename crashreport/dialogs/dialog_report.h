#pragma once

// The report as the dialogs see it: its text for the pages, and the two changes the dialogs make
// (the "Request" section and the user's e-mail address).

#include <string>
#include <string_view>

namespace faulttrap {

class BugReport;

class DialogReport {
public:
    virtual ~DialogReport() = default;
    virtual std::string Text() const = 0;
    virtual void InsertSteps(std::string_view title, std::string_view steps) = 0;
    virtual void ReplaceEmail(std::string_view address) = 0;
};

// The processing's own report.
class BugReportForDialogs : public DialogReport {
public:
    explicit BugReportForDialogs(BugReport& report) : report_(report) {}
    std::string Text() const override;
    void InsertSteps(std::string_view title, std::string_view steps) override;
    void ReplaceEmail(std::string_view address) override;

private:
    BugReport& report_;
};

} // namespace faulttrap
