#include "crashreport/intercept/library_forwarding.h"

#include "crashreport/debuginfo/module_debug_data.h"
#include "crashreport/options/fault_module_options_ex.h"
#include "crashreport/options/loaded_module.h"

#include <dlfcn.h>
#include <unistd.h>

#include <atomic>

namespace faulttrap {

namespace {

// The first version whose programs serve the libraries that carry FaultTrap.
constexpr std::uint16_t kFirstServingVersion = 6006;

std::atomic<TExceptionManagerExport> forwardingTarget{nullptr};

} // namespace

TExceptionManagerExport FindHostExceptionManager() {
    const std::uintptr_t program = ProgramHandle();
    if (SubsystemModule().Handle == program) {
        return nullptr;
    }
    void* self = ::dlopen(nullptr, RTLD_LAZY);
    void* entry = self != nullptr ? ::dlsym(self, "ExceptionManager") : nullptr;
    Dl_info where{};
    if (entry == nullptr || ::dladdr(entry, &where) == 0 ||
        reinterpret_cast<std::uintptr_t>(where.dli_fbase) != program) {
        return nullptr;
    }
    const auto data = LoadModuleDebugData("/proc/self/exe", LoadPurpose::listing, {});
    if (!data || data->data.version < kFirstServingVersion) {
        return nullptr;
    }
    return reinterpret_cast<TExceptionManagerExport>(entry);
}

TExceptionManagerExport ForwardingTarget() {
    return forwardingTarget.load(std::memory_order_acquire);
}

void StartForwarding(TExceptionManagerExport host) {
    forwardingTarget.store(host, std::memory_order_release);
}

bool LoadOptionsOfExceptionModule(TFaultModuleOptions& options, std::uintptr_t exceptionAddress) {
    const std::optional<TLoadedModule> found = ModuleAt(exceptionAddress);
    if (!found) {
        return false;
    }
    const std::uintptr_t module = found->Handle;
    if (module == SubsystemModule().Handle) {
        return false;
    }
    try {
        return LoadPublishedOptions(options, static_cast<std::uint32_t>(::getpid()), module);
    } catch (const std::exception&) {
        return false; // damaged options: the program's stay in force
    }
}

} // namespace faulttrap
