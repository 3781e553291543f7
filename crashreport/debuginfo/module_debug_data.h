#pragma once

#include "crashreport/debuginfo/lazy_debug_index.h"
#include "crashreport/debuginfo/subsystem_data.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace faulttrap {

// Answers the debug-information password of a module (empty when nobody knows it).
using PasswordSource = std::function<std::string(const std::string& modulePath)>;

// What a module's container gives once loaded: its header fields, options stream and,
// when asked for, the debug information ready for lookups (which then holds its bytes).
// data.debugInformation is left empty either way: a listing does not even inflate it, which
// keeps the start-up activation, which needs only the options, quick.
struct ModuleDebugData {
    SubsystemData data;
    bool passwordValid = false;
    std::unique_ptr<LazyDebugIndex> index; // null when only listed
};

enum class LoadPurpose { listing, resolving };

// Reads the ".ftdata" section of a module file. nullopt when the module carries none or
// its data is unusable (damaged, too new); the reason is put in *problem when given.
std::optional<ModuleDebugData> LoadModuleDebugData(const std::string& path, LoadPurpose purpose,
                                                   const PasswordSource& password,
                                                   std::string* problem = nullptr);

} // namespace faulttrap
