// The public calls of faulttrap/faulttrap.h, over the library's own interfaces.
#include "faulttrap/faulttrap.h"

#include "crashreport/intercept/activation.h"
#include "crashreport/intercept/dispatcher.h"
#include "crashreport/intercept/events.h"
#include "crashreport/options/options_ini.h"

namespace faulttrap {

namespace {

ExceptionInfo InfoOf(const TFaultExceptionRecord& record) {
    return {record.ExceptionClass, record.ExceptionMessage, record.ExceptionAddress,
            record.ExceptionThreadID, record.LogText};
}

} // namespace

const char* LibraryVersion() {
    return FAULTTRAP_VERSION;
}

bool ReportException(std::exception_ptr exception, CaughtIn where) {
    return ExceptionManager(exception, 0, static_cast<std::uint8_t>(where));
}

bool SetOption(std::string_view name, std::string_view value, std::string* error) {
    std::string mistake = "FaultTrap does not run";
    bool set = false;
    if (IsActive()) {
        TFaultModuleOptionsEx& options = MainModuleOptions();
        TFaultOptionsContent content = options.Content();
        set = SetOptionByName(content.Values, name, value, mistake);
        if (set) {
            options.LoadFromBytes(EncodeOptionsStream(content), kCurrentDataVersion);
        }
    }
    if (!set && error != nullptr) {
        *error = mistake;
    }
    return set;
}

std::string Option(std::string_view name) {
    std::string value;
    if (IsActive()) {
        OptionByName(MainModuleOptions().Values(), name, value);
    }
    return value;
}

void SetCustomizedText(int number, std::string text) {
    if (IsActive() && number >= 0 && number < static_cast<int>(TCustomizedTexts::Count)) {
        MainModuleOptions().SetCustomizedText(TextIdOfNumber(static_cast<std::size_t>(number)),
                                              std::move(text));
    }
}

void OnException(ExceptionHandler handler) {
    GlobalFaultTrapEvents().ExceptionNotify =
        handler ? [handler](TFaultExceptionRecord& record,
                            bool& handleIt) { handler(InfoOf(record), handleIt); }
                : std::function<void(TFaultExceptionRecord&, bool&)>();
}

void OnCustomData(CustomDataHandler handler) {
    GlobalFaultTrapEvents().CustomDataRequest =
        handler ? [handler](TFaultExceptionRecord& record,
                            CustomDataList& lines) { handler(InfoOf(record), lines); }
                : std::function<void(TFaultExceptionRecord&, CustomDataList&)>();
}

} // namespace faulttrap
