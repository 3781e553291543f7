#include "crashreport/debuginfo/module_debug_data.h"

#include "crashreport/debuginfo/debug_data_error.h"
#include "crashreport/debuginfo/elf_image.h"

namespace faulttrap {

std::optional<ModuleDebugData> LoadModuleDebugData(const std::string& path, LoadPurpose purpose,
                                                   const PasswordSource& password,
                                                   std::string* problem) {
    try {
        // Read in place from the mapped file: a listing touches only the container's first
        // pages, never its debug block.
        const ElfImage file(path);
        const ElfImage::Section* section = file.Find(".ftdata");
        if (!section) {
            return std::nullopt;
        }
        ModuleDebugData loaded;
        if (purpose == LoadPurpose::listing) {
            loaded.data = DecodeSubsystemData(section->bytes, DebugBlock::leave);
            return loaded;
        }
        loaded.data = DecodeSubsystemData(section->bytes);
        const std::string secret = password ? password(path) : std::string();
        loaded.passwordValid = PasswordMatches(loaded.data, secret);
        loaded.index = std::make_unique<LazyDebugIndex>(std::move(loaded.data.debugInformation),
                                                        NameCipher(secret), loaded.passwordValid,
                                                        loaded.data.version >= 502);
        loaded.data.debugInformation.clear();
        return loaded;
    } catch (const DebugDataError& error) {
        if (problem) {
            *problem = path + ": " + error.what();
        }
        return std::nullopt;
    }
}

} // namespace faulttrap
