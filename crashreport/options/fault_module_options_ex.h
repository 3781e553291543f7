#pragma once

#include "crashreport/options/fault_module_options.h"
#include "crashreport/options/shared_options_block.h"

#include <cstdint>
#include <functional>
#include <string>

namespace faulttrap {

// The options of a loaded module. When they change, the options of the module that runs
// FaultTrap are published in a shared-memory block, where the other modules of the process that
// carry FaultTrap pick them up.
class TFaultModuleOptionsEx : public TFaultModuleOptions {
public:
    using TFaultModuleOptions::TFaultModuleOptions;

    // On the options of the module that runs FaultTrap these act only on a change of value, and
    // then start the freeze watch when both are on, or stop it.
    void SetHandlingActive(bool value) override;
    void SetFreezeWatch(bool value) override;

    // Deletes the shared-memory block, as FaultTrap's finalisation does; destruction does too.
    void Unpublish() { block_.Remove(); }
    // Why the last publication failed; empty after a success. A failed publication leaves these
    // options working, only unseen by the other modules.
    const std::string& LastPublicationError() const { return lastPublicationError_; }

protected:
    void ChangeNotification() override;

private:
    // Stores one of the two switches of the freeze watch with `store`, as the setters describe.
    void StoreWatchSwitch(bool value, bool current, const std::function<void()>& store);

    SharedOptionsBlock block_;
    std::string lastPublicationError_;
};

// Installed by FaultTrap's activation: starts (true) or stops (false) the freeze watch.
void SetFreezeWatchSwitch(std::function<void(bool run)> freezeWatchSwitch);

// Loads `options` from the block that module `moduleHandle` of process `processId` published,
// when it exists and its first data byte is not 0; returns whether it did. Throws
// std::runtime_error for a damaged block (OptionsStreamError for damaged options).
bool LoadPublishedOptions(TFaultModuleOptions& options, std::uint32_t processId,
                          std::uintptr_t moduleHandle);

} // namespace faulttrap
