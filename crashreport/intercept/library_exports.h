#pragma once

// The entry points other modules of the process find by name: a library that carries FaultTrap
// calls the program's ExceptionManager, and the program runs a library's event handlers through
// the library's event entries.

#include "crashreport/intercept/events.h"

#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#define FAULTTRAP_EXPORT extern "C" __attribute__((visibility("default")))

FAULTTRAP_EXPORT bool ExceptionManager(const std::exception_ptr* exception, std::uintptr_t address,
                                       std::uint8_t origin, std::uintptr_t module);

FAULTTRAP_EXPORT void FaultTrap_ExceptionNotifyEvent(faulttrap::TFaultExceptionRecord* record,
                                                     bool* handleIt);
FAULTTRAP_EXPORT void
FaultTrap_HandledExceptionNotifyEvent(faulttrap::TFaultExceptionRecord* record, bool* handleIt);
FAULTTRAP_EXPORT void FaultTrap_ExceptionActionNotifyEvent(faulttrap::TFaultExceptionRecord* record,
                                                           int action, bool* execute);
FAULTTRAP_EXPORT void FaultTrap_ExceptionErrorNotifyEvent(faulttrap::TFaultExceptionRecord* record,
                                                          int code, const std::string* text,
                                                          bool* retry);
// The password for the module's encrypted debug information, at most `capacity` - 1 characters
// and a terminating zero.
FAULTTRAP_EXPORT void FaultTrap_PasswordRequestEvent(char* password, int capacity);
FAULTTRAP_EXPORT void FaultTrap_PasswordRequestEventEx(faulttrap::TFaultExceptionRecord* record,
                                                       char* password, int capacity);
FAULTTRAP_EXPORT void FaultTrap_CustomDataRequestEventEx(faulttrap::TFaultExceptionRecord* record,
                                                         faulttrap::CustomDataList* data);
FAULTTRAP_EXPORT void FaultTrap_AttachedFilesRequestEvent(faulttrap::TFaultExceptionRecord* record,
                                                          std::vector<std::string>* files);
FAULTTRAP_EXPORT void
FaultTrap_CustomWebFieldsRequestEvent(faulttrap::TFaultExceptionRecord* record,
                                      std::vector<std::string>* fields);
FAULTTRAP_EXPORT void FaultTrap_CustomButtonClickEvent(faulttrap::TFaultExceptionRecord* record,
                                                       bool* closeDialog);
