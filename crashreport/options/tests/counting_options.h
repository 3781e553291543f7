#pragma once

#include "crashreport/options/fault_module_options.h"

#include <string>

namespace faulttrap::testing {

// The file of this test program: the module that runs FaultTrap here.
inline const std::string kThisProgram = "/proc/self/exe";

// Options that count their change notifications.
class CountingOptions : public TFaultModuleOptions {
public:
    explicit CountingOptions(const std::string& moduleFileName = kThisProgram,
                             bool notifyChanges = true)
        : TFaultModuleOptions(moduleFileName, notifyChanges) {}

    int notifications = 0;

protected:
    void ChangeNotification() override { ++notifications; }
};

} // namespace faulttrap::testing
