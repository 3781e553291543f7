#include "crashreport/intercept/module_events.h"

#include "crashreport/intercept/library_exports.h"

#include "crashreport/intercept/module_entries.h"
#include "crashreport/options/loaded_module.h"

#include <atomic>

namespace faulttrap {

namespace {

std::atomic<TFaultTrapEvents*> moduleEvents{nullptr};

template <typename Function> Function* EntryOf(const TModuleEntries& module, const char* name) {
    return reinterpret_cast<Function*>(module.Find(name));
}

// Handlers that call the module's event entries.
TFaultTrapEvents EventsOf(const TModuleEntries& module) {
    TFaultTrapEvents events;
    if (auto* entry = EntryOf<decltype(FaultTrap_ExceptionNotifyEvent)>(
            module, "FaultTrap_ExceptionNotifyEvent")) {
        events.ExceptionNotify = [entry](TFaultExceptionRecord& record, bool& handleIt) {
            entry(&record, &handleIt);
        };
    }
    if (auto* entry = EntryOf<decltype(FaultTrap_HandledExceptionNotifyEvent)>(
            module, "FaultTrap_HandledExceptionNotifyEvent")) {
        events.HandledExceptionNotify = [entry](TFaultExceptionRecord& record, bool& handleIt) {
            entry(&record, &handleIt);
        };
    }
    if (auto* entry = EntryOf<decltype(FaultTrap_ExceptionActionNotifyEvent)>(
            module, "FaultTrap_ExceptionActionNotifyEvent")) {
        events.ExceptionActionNotify = [entry](TFaultExceptionRecord& record, int action,
                                               bool& execute) { entry(&record, action, &execute); };
    }
    if (auto* entry = EntryOf<decltype(FaultTrap_ExceptionErrorNotifyEvent)>(
            module, "FaultTrap_ExceptionErrorNotifyEvent")) {
        events.ExceptionErrorNotify = [entry](TFaultExceptionRecord& record,
                                              TFaultTrapErrorCode code, const std::string& text,
                                              bool& retry) {
            entry(&record, static_cast<int>(code), &text, &retry);
        };
    }
    if (auto* entry = EntryOf<decltype(FaultTrap_CustomDataRequestEventEx)>(
            module, "FaultTrap_CustomDataRequestEventEx")) {
        events.CustomDataRequest = [entry](TFaultExceptionRecord& record, CustomDataList& data) {
            entry(&record, &data);
        };
    }
    if (auto* entry = EntryOf<decltype(FaultTrap_AttachedFilesRequestEvent)>(
            module, "FaultTrap_AttachedFilesRequestEvent")) {
        events.AttachedFilesRequest = [entry](TFaultExceptionRecord& record,
                                              std::vector<std::string>& files) {
            entry(&record, &files);
        };
    }
    if (auto* entry = EntryOf<decltype(FaultTrap_CustomWebFieldsRequestEvent)>(
            module, "FaultTrap_CustomWebFieldsRequestEvent")) {
        events.CustomWebFieldsRequest = [entry](TFaultExceptionRecord& record,
                                                std::vector<std::string>& fields) {
            entry(&record, &fields);
        };
    }
    if (auto* entry = EntryOf<decltype(FaultTrap_CustomButtonClickEvent)>(
            module, "FaultTrap_CustomButtonClickEvent")) {
        events.CustomButtonClick = [entry](TFaultExceptionRecord& record, bool& closeDialog) {
            entry(&record, &closeDialog);
        };
    }
    if (auto* entry = EntryOf<decltype(FaultTrap_PasswordRequestEventEx)>(
            module, "FaultTrap_PasswordRequestEventEx")) {
        events.PasswordRequest = [entry](TFaultExceptionRecord* record, std::string& password) {
            char answer[256] = {};
            entry(record, answer, static_cast<int>(sizeof answer));
            password = answer;
        };
    }
    return events;
}

} // namespace

TModuleEventsScope::TModuleEventsScope(std::uintptr_t exceptionAddress) {
    const std::optional<TLoadedModule> module = ModuleAt(exceptionAddress);
    if (!module || module->Handle == SubsystemModule().Handle) {
        return;
    }
    // Read from the module's file, not asked of the dynamic loader, whose lock a thread faulting
    // inside the loader holds; a module without FaultTrap (nearly all) has none of the entries.
    // The module stays loaded while its handlers run: its code raised the exception.
    events_ = EventsOf(TModuleEntries(module->Path));
    if (!events_.ExceptionNotify) {
        return;
    }
    moduleEvents = &events_;
    active_ = true;
}

TModuleEventsScope::~TModuleEventsScope() {
    if (active_) {
        moduleEvents = nullptr;
    }
}

TFaultTrapEvents* ExceptionModuleEvents() {
    return moduleEvents;
}

} // namespace faulttrap
