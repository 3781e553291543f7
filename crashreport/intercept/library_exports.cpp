#include "crashreport/intercept/library_exports.h"

#include "crashreport/intercept/dispatcher.h"

#include <algorithm>
#include <cstring>

using faulttrap::ForEachEventHandler;
using faulttrap::TFaultExceptionRecord;
using faulttrap::TFaultTrapEvents;

namespace {

void GivePassword(TFaultExceptionRecord* record, char* password, int capacity) {
    if (password == nullptr || capacity <= 0) {
        return;
    }
    std::string answer;
    ForEachEventHandler([&](TFaultTrapEvents& events) {
        if (events.PasswordRequest) {
            events.PasswordRequest(record, answer);
        }
    });
    const std::size_t length = std::min(answer.size(), static_cast<std::size_t>(capacity - 1));
    std::memcpy(password, answer.data(), length);
    password[length] = '\0';
}

} // namespace

bool ExceptionManager(const std::exception_ptr* exception, std::uintptr_t address,
                      std::uint8_t origin, std::uintptr_t module) {
    return faulttrap::ExceptionManager(exception != nullptr ? *exception : std::exception_ptr(),
                                       address, origin, module);
}

void FaultTrap_ExceptionNotifyEvent(TFaultExceptionRecord* record, bool* handleIt) {
    ForEachEventHandler([&](TFaultTrapEvents& events) {
        if (events.ExceptionNotify) {
            events.ExceptionNotify(*record, *handleIt);
        }
    });
}

void FaultTrap_HandledExceptionNotifyEvent(TFaultExceptionRecord* record, bool* handleIt) {
    ForEachEventHandler([&](TFaultTrapEvents& events) {
        if (events.HandledExceptionNotify) {
            events.HandledExceptionNotify(*record, *handleIt);
        }
    });
}

void FaultTrap_ExceptionActionNotifyEvent(TFaultExceptionRecord* record, int action,
                                          bool* execute) {
    ForEachEventHandler([&](TFaultTrapEvents& events) {
        if (events.ExceptionActionNotify) {
            events.ExceptionActionNotify(*record, action, *execute);
        }
    });
}

void FaultTrap_ExceptionErrorNotifyEvent(TFaultExceptionRecord* record, int code,
                                         const std::string* text, bool* retry) {
    ForEachEventHandler([&](TFaultTrapEvents& events) {
        if (events.ExceptionErrorNotify) {
            events.ExceptionErrorNotify(*record, static_cast<faulttrap::TFaultTrapErrorCode>(code),
                                        *text, *retry);
        }
    });
}

void FaultTrap_PasswordRequestEvent(char* password, int capacity) {
    GivePassword(nullptr, password, capacity);
}

void FaultTrap_PasswordRequestEventEx(TFaultExceptionRecord* record, char* password, int capacity) {
    GivePassword(record, password, capacity);
}

void FaultTrap_CustomDataRequestEventEx(TFaultExceptionRecord* record,
                                        faulttrap::CustomDataList* data) {
    ForEachEventHandler([&](TFaultTrapEvents& events) {
        if (events.CustomDataRequest) {
            events.CustomDataRequest(*record, *data);
        }
    });
}

void FaultTrap_AttachedFilesRequestEvent(TFaultExceptionRecord* record,
                                         std::vector<std::string>* files) {
    ForEachEventHandler([&](TFaultTrapEvents& events) {
        if (events.AttachedFilesRequest) {
            events.AttachedFilesRequest(*record, *files);
        }
    });
}

void FaultTrap_CustomWebFieldsRequestEvent(TFaultExceptionRecord* record,
                                           std::vector<std::string>* fields) {
    ForEachEventHandler([&](TFaultTrapEvents& events) {
        if (events.CustomWebFieldsRequest) {
            events.CustomWebFieldsRequest(*record, *fields);
        }
    });
}

void FaultTrap_CustomButtonClickEvent(TFaultExceptionRecord* record, bool* closeDialog) {
    ForEachEventHandler([&](TFaultTrapEvents& events) {
        if (events.CustomButtonClick) {
            events.CustomButtonClick(*record, *closeDialog);
        }
    });
}
