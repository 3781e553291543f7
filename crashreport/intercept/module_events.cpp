#include "intercept/module_events.h"

#include "intercept/library_exports.h"

#include "debuginfo/exported_functions.h"
#include "options/loaded_module.h"

#include <dlfcn.h>

#include <algorithm>
#include <atomic>

namespace faulttrap {

namespace {

std::atomic<TFaultTrapEvents*> moduleEvents{nullptr};

// The module's own definition of an entry; nullptr when it has none.
template <typename Function> Function* EntryOf(void* module, const void* base, const char* name) {
    void* entry = ::dlsym(module, name);
    Dl_info where{};
    if (entry == nullptr || ::dladdr(entry, &where) == 0 || where.dli_fbase != base)
        return nullptr;
    return reinterpret_cast<Function*>(entry);
}

// Handlers that call the module's event entries.
TFaultTrapEvents EventsOf(void* module, const void* base) {
    TFaultTrapEvents events;
    if (auto* entry = EntryOf<decltype(FaultTrap_ExceptionNotifyEvent)>(
            module, base, "FaultTrap_ExceptionNotifyEvent"))
        events.ExceptionNotify = [entry](TFaultExceptionRecord& record, bool& handleIt) {
            entry(&record, &handleIt);
        };
    if (auto* entry = EntryOf<decltype(FaultTrap_HandledExceptionNotifyEvent)>(
            module, base, "FaultTrap_HandledExceptionNotifyEvent"))
        events.HandledExceptionNotify = [entry](TFaultExceptionRecord& record, bool& handleIt) {
            entry(&record, &handleIt);
        };
    if (auto* entry = EntryOf<decltype(FaultTrap_ExceptionActionNotifyEvent)>(
            module, base, "FaultTrap_ExceptionActionNotifyEvent"))
        events.ExceptionActionNotify = [entry](TFaultExceptionRecord& record, int action,
                                               bool& execute) { entry(&record, action, &execute); };
    if (auto* entry = EntryOf<decltype(FaultTrap_ExceptionErrorNotifyEvent)>(
            module, base, "FaultTrap_ExceptionErrorNotifyEvent"))
        events.ExceptionErrorNotify = [entry](TFaultExceptionRecord& record,
                                              TFaultTrapErrorCode code, const std::string& text,
                                              bool& retry) {
            entry(&record, static_cast<int>(code), &text, &retry);
        };
    if (auto* entry = EntryOf<decltype(FaultTrap_CustomDataRequestEventEx)>(
            module, base, "FaultTrap_CustomDataRequestEventEx"))
        events.CustomDataRequest = [entry](TFaultExceptionRecord& record, CustomDataList& data) {
            entry(&record, &data);
        };
    if (auto* entry = EntryOf<decltype(FaultTrap_AttachedFilesRequestEvent)>(
            module, base, "FaultTrap_AttachedFilesRequestEvent"))
        events.AttachedFilesRequest = [entry](TFaultExceptionRecord& record,
                                              std::vector<std::string>& files) {
            entry(&record, &files);
        };
    if (auto* entry = EntryOf<decltype(FaultTrap_CustomWebFieldsRequestEvent)>(
            module, base, "FaultTrap_CustomWebFieldsRequestEvent"))
        events.CustomWebFieldsRequest = [entry](TFaultExceptionRecord& record,
                                                std::vector<std::string>& fields) {
            entry(&record, &fields);
        };
    if (auto* entry = EntryOf<decltype(FaultTrap_CustomButtonClickEvent)>(
            module, base, "FaultTrap_CustomButtonClickEvent"))
        events.CustomButtonClick = [entry](TFaultExceptionRecord& record, bool& closeDialog) {
            entry(&record, &closeDialog);
        };
    if (auto* entry = EntryOf<decltype(FaultTrap_PasswordRequestEventEx)>(
            module, base, "FaultTrap_PasswordRequestEventEx"))
        events.PasswordRequest = [entry](TFaultExceptionRecord* record, std::string& password) {
            char answer[256] = {};
            entry(record, answer, static_cast<int>(sizeof answer));
            password = answer;
        };
    return events;
}

// Whether the module's file exports FaultTrap's event entries: read from the file, so that a
// module without them (nearly all) costs no call into the dynamic loader, whose lock a thread
// faulting inside the loader holds.
bool ExportsEvents(const std::string& path) {
    const TFaultFunctionsList exports = TFaultFunctionsList::read(path);
    return std::any_of(exports.functions().begin(), exports.functions().end(),
                       [](const TFaultFunctionsList::Function& function) {
                           return function.name == "FaultTrap_ExceptionNotifyEvent";
                       });
}

} // namespace

TModuleEventsScope::TModuleEventsScope(std::uintptr_t exceptionAddress) {
    const std::optional<TLoadedModule> module = ModuleAt(exceptionAddress);
    if (!module || module->Handle == SubsystemModule().Handle || !ExportsEvents(module->Path))
        return;
    module_ = ::dlopen(module->Path.c_str(), RTLD_LAZY | RTLD_NOLOAD);
    if (module_ == nullptr)
        return;
    events_ = EventsOf(module_, reinterpret_cast<const void*>(module->Handle));
    if (!events_.ExceptionNotify) { // the module carries no FaultTrap
        ::dlclose(module_);
        module_ = nullptr;
        return;
    }
    moduleEvents = &events_;
}

TModuleEventsScope::~TModuleEventsScope() {
    if (module_ == nullptr)
        return;
    moduleEvents = nullptr;
    ::dlclose(module_);
}

TFaultTrapEvents* ExceptionModuleEvents() {
    return moduleEvents;
}

} // namespace faulttrap
