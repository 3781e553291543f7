#include "intercept/module_password.h"

#include "intercept/library_exports.h"

#include "options/loaded_module.h"

#include <dlfcn.h>

#include <filesystem>

namespace faulttrap {

namespace {

std::string PasswordOfHandlers() {
    std::string password;
    ForEachEventHandler([&](TFaultTrapEvents& events) {
        if (events.PasswordRequest)
            events.PasswordRequest(nullptr, password);
    });
    return password;
}

// What the module's own password entry answers; empty when it has none.
std::string PasswordOfModule(const std::string& modulePath) {
    void* module = ::dlopen(modulePath.c_str(), RTLD_LAZY | RTLD_NOLOAD);
    if (module == nullptr)
        return {};
    char password[256] = {};
    void* entry = ::dlsym(module, "FaultTrap_PasswordRequestEvent");
    Dl_info where{};
    std::error_code error;
    if (entry != nullptr && ::dladdr(entry, &where) != 0 && where.dli_fname != nullptr &&
        std::filesystem::equivalent(where.dli_fname, modulePath, error))
        reinterpret_cast<decltype(&FaultTrap_PasswordRequestEvent)>(entry)(
            password, static_cast<int>(sizeof password));
    ::dlclose(module);
    return password;
}

} // namespace

std::string ModulePassword(const std::string& modulePath) {
    if (!NamesSubsystemModule(modulePath))
        if (std::string password = PasswordOfModule(modulePath); !password.empty())
            return password;
    return PasswordOfHandlers();
}

} // namespace faulttrap
