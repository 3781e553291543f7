#include "crashreport/options/fault_module_options_ex.h"

#include "crashreport/options/loaded_module.h"

#include <unistd.h>

#include <exception>
#include <mutex>

namespace faulttrap {

namespace {

// Built on first use: FaultTrap's activation installs the switch before the static
// initialisers of the program run, and a std::function is not constant-initialised.
std::mutex freezeWatchSwitchMutex;

std::function<void(bool)>& InstalledSwitch() {
    static auto* installed = new std::function<void(bool)>;
    return *installed;
}

void SwitchFreezeWatch(bool run) {
    std::function<void(bool)> current;
    {
        const std::lock_guard lock(freezeWatchSwitchMutex);
        current = InstalledSwitch();
    }
    if (current) {
        current(run);
    }
}

// The block's first data byte tells a reader that options follow.
constexpr char kOptionsFollow = 1;

} // namespace

void SetFreezeWatchSwitch(std::function<void(bool run)> newSwitch) {
    const std::lock_guard lock(freezeWatchSwitchMutex);
    InstalledSwitch() = std::move(newSwitch);
}

void TFaultModuleOptionsEx::SetHandlingActive(bool value) {
    StoreWatchSwitch(value, HandlingActive(),
                     [&] { TFaultModuleOptions::SetHandlingActive(value); });
}

void TFaultModuleOptionsEx::SetFreezeWatch(bool value) {
    StoreWatchSwitch(value, FreezeWatch(), [&] { TFaultModuleOptions::SetFreezeWatch(value); });
}

void TFaultModuleOptionsEx::StoreWatchSwitch(bool value, bool current,
                                             const std::function<void()>& store) {
    if (!RunsFaultTrap()) {
        store();
    } else if (value != current) {
        store();
        SwitchFreezeWatch(HandlingActive() && FreezeWatch());
    }
}

void TFaultModuleOptionsEx::ChangeNotification() {
    try {
        std::string data(1, kOptionsFollow);
        data += EncodeOptionsStream(Content());
        block_.Publish(
            SharedOptionsBlockName(static_cast<std::uint32_t>(getpid()), SubsystemModule().Handle),
            data);
        lastPublicationError_.clear();
    } catch (const std::exception& error) {
        lastPublicationError_ = error.what();
    }
}

bool LoadPublishedOptions(TFaultModuleOptions& options, std::uint32_t processId,
                          std::uintptr_t moduleHandle) {
    const std::optional<std::string> data =
        ReadSharedOptionsBlock(SharedOptionsBlockName(processId, moduleHandle));
    if (!data || data->empty() || (*data)[0] == 0) {
        return false;
    }
    options.LoadFromBytes(std::string_view(*data).substr(1), kCurrentDataVersion);
    return true;
}

} // namespace faulttrap
