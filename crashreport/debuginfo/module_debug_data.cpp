#include "debuginfo/module_debug_data.h"

#include "debuginfo/debug_data_error.h"
#include "debuginfo/elf_section.h"

namespace faulttrap {

std::optional<ModuleDebugData> loadModuleDebugData(const std::string& path, LoadPurpose purpose,
                                                   const PasswordSource& password,
                                                   std::string* problem) {
    try {
        const auto bytes = readElfSection(path, ".ftdata");
        if (!bytes)
            return std::nullopt;
        ModuleDebugData loaded;
        loaded.data = decodeSubsystemData(*bytes);
        if (purpose == LoadPurpose::listing)
            return loaded;
        const std::string secret = password ? password(path) : std::string();
        loaded.passwordValid = passwordMatches(loaded.data, secret);
        loaded.index = std::make_unique<LazyDebugIndex>(std::move(loaded.data.debugInformation),
                                                        NameCipher(secret), loaded.passwordValid,
                                                        loaded.data.version >= 502);
        loaded.data.debugInformation.clear();
        return loaded;
    } catch (const DebugDataError& error) {
        if (problem)
            *problem = path + ": " + error.what();
        return std::nullopt;
    }
}

} // namespace faulttrap
