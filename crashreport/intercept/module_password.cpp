#include "crashreport/intercept/module_password.h"

#include "crashreport/intercept/library_exports.h"
#include "crashreport/intercept/module_entries.h"

#include "crashreport/options/loaded_module.h"

namespace faulttrap {

namespace {

std::string PasswordOfHandlers() {
    std::string password;
    ForEachEventHandler([&](TFaultTrapEvents& events) {
        if (events.PasswordRequest) {
            events.PasswordRequest(nullptr, password);
        }
    });
    return password;
}

// What the module's own password entry answers; empty when it has none. Found without the
// dynamic loader: the report may follow a fault inside it.
std::string PasswordOfModule(const std::string& modulePath) {
    void* entry = TModuleEntries(modulePath).Find("FaultTrap_PasswordRequestEvent");
    if (entry == nullptr) {
        return {};
    }
    char password[256] = {};
    reinterpret_cast<decltype(&FaultTrap_PasswordRequestEvent)>(entry)(
        password, static_cast<int>(sizeof password));
    return password;
}

} // namespace

std::string ModulePassword(const std::string& modulePath) {
    if (!NamesSubsystemModule(modulePath)) {
        if (std::string password = PasswordOfModule(modulePath); !password.empty()) {
            return password;
        }
    }
    return PasswordOfHandlers();
}

} // namespace faulttrap
