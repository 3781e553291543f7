#pragma once

#include "crashreport/debuginfo/module_list.h"
#include "crashreport/debuginfo/stack_entry.h"
#include "crashreport/options/fault_module_options_ex.h"
#include "crashreport/options/option_types.h"

#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace faulttrap {

// The exception being processed, handed to every event.
struct TFaultExceptionRecord {
    std::exception_ptr ExceptionObject;
    std::string ExceptionClass;
    std::string ExceptionMessage;
    std::uintptr_t ExceptionAddress = 0;
    std::uint32_t ExceptionThreadID = 0;
    TFaultStackList* CallStack = nullptr;
    TFaultModuleOptionsEx* ModuleOptions = nullptr;
    std::string LogText;
    const TFaultModulesList* ModulesList = nullptr;
};

const char* ErrorCodeName(TFaultTrapErrorCode code);

// The actions ExceptionActionNotify brackets.
namespace fault_actions {
inline constexpr int BeforeDialog = 0;
inline constexpr int AfterDialog = 1;
inline constexpr int BeforeLog = 2;
inline constexpr int AfterLog = 3;
inline constexpr int BeforeEMail = 4;
inline constexpr int AfterEMail = 5;
inline constexpr int BeforeWeb = 6;
inline constexpr int AfterWeb = 7;
inline constexpr int TerminateRequested = 8;
} // namespace fault_actions

using CustomDataList = std::vector<std::pair<std::string, std::string>>;

// One handler per event; an empty one is not called.
struct TFaultTrapEvents {
    std::function<void(TFaultExceptionRecord&, bool& handleIt)> ExceptionNotify;
    std::function<void(TFaultExceptionRecord&, bool& handleIt)> HandledExceptionNotify;
    std::function<void(TFaultExceptionRecord&, int action, bool& execute)> ExceptionActionNotify;
    std::function<void(TFaultExceptionRecord&, TFaultTrapErrorCode code, const std::string& text,
                       bool& retry)>
        ExceptionErrorNotify;
    std::function<void(TFaultExceptionRecord&, CustomDataList& data)> CustomDataRequest;
    std::function<void(TFaultExceptionRecord&, std::vector<std::string>& files)>
        AttachedFilesRequest;
    std::function<void(TFaultExceptionRecord&, std::vector<std::string>& fields)>
        CustomWebFieldsRequest;
    std::function<void(TFaultExceptionRecord&, bool& closeDialog)> CustomButtonClick;
    std::function<void(TFaultExceptionRecord*, std::string& password)> PasswordRequest;
};

// A handler component: registered while it exists, its handlers receive the events.
class TFaultTrap : public TFaultTrapEvents {
public:
    TFaultTrap();
    ~TFaultTrap();
    TFaultTrap(const TFaultTrap&) = delete;
    TFaultTrap& operator=(const TFaultTrap&) = delete;
};

// The global handler of each event, called after the components.
TFaultTrapEvents& GlobalFaultTrapEvents();

// Calls `call` with every registered handler set: the components from the last registered to
// the first, then the global handlers. A handler that throws or faults is abandoned and the next
// one runs; the failures come back as "<class>: <message>", one per abandoned handler.
std::vector<std::string> ForEachEventHandler(const std::function<void(TFaultTrapEvents&)>& call);

// `ExceptionActionNotify` to every handler on the calling thread: returns the `Execute` flag.
bool RaiseActionNotify(TFaultExceptionRecord& record, int action);
// `ExceptionErrorNotify` to every handler on the calling thread: returns the `Retry` flag.
bool RaiseErrorNotify(TFaultExceptionRecord& record, TFaultTrapErrorCode code,
                      const std::string& text);
// The warning line of a failed step: "[WARNING] - Code: ..." on the standard error.
void WriteWarning(std::uintptr_t exceptionAddress, TFaultTrapErrorCode code,
                  const std::string& text);

} // namespace faulttrap
