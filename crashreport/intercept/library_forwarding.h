#pragma once

// A shared library that carries FaultTrap, loaded by a program that carries it too, hands its
// exceptions to the program's FaultTrap instead of processing them itself: the program's hooks
// already see every throw, fault and thread of the process.

#include "crashreport/options/fault_module_options.h"

#include <cstdint>
#include <exception>

namespace faulttrap {

// The program's exported ExceptionManager.
using TExceptionManagerExport = bool (*)(const std::exception_ptr* exception,
                                         std::uintptr_t address, std::uint8_t origin,
                                         std::uintptr_t module);

// The program's ExceptionManager when FaultTrap runs in a library and the program carries
// FaultTrap data of a version that serves libraries; nullptr otherwise.
TExceptionManagerExport FindHostExceptionManager();

// Where this FaultTrap forwards to; nullptr when it processes exceptions itself.
TExceptionManagerExport ForwardingTarget();
void StartForwarding(TExceptionManagerExport host);

// For an exception that lies in another module carrying FaultTrap (a library that forwards to
// this program): loads the options that module published into `options`; returns whether it did.
bool LoadOptionsOfExceptionModule(TFaultModuleOptions& options, std::uintptr_t exceptionAddress);

} // namespace faulttrap
