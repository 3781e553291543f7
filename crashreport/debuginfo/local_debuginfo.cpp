#include "crashreport/debuginfo/local_debuginfo.h"

#include "crashreport/debuginfo/dwarf_library.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace faulttrap {

namespace {

constexpr const char* kDebugRoot = "/usr/lib/debug";

std::string HexOf(std::span<const std::uint8_t> bytes) {
    std::string text;
    for (const std::uint8_t byte : bytes) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02x", byte);
        text += pair;
    }
    return text;
}

} // namespace

std::vector<std::string> LocalDebugFileCandidates(std::span<const std::uint8_t> buildId,
                                                  const std::string& modulePath,
                                                  const char* debugLink) {
    std::vector<std::string> candidates;
    if (buildId.size() >= 2) {
        const std::string hex = HexOf(buildId);
        candidates.push_back(std::string(kDebugRoot) + "/.build-id/" + hex.substr(0, 2) + "/" +
                             hex.substr(2) + ".debug");
    }
    if (debugLink != nullptr && *debugLink != '\0' && !modulePath.empty()) {
        std::error_code ignored;
        std::filesystem::path module = std::filesystem::canonical(modulePath, ignored);
        if (module.empty()) {
            module = modulePath;
        }
        const std::filesystem::path folder = module.parent_path();
        const std::string link = std::filesystem::path(debugLink).filename().string();
        // The module's own name as its debug link would make it read itself.
        if (folder / link != module) {
            candidates.push_back((folder / link).string());
        }
        candidates.push_back((folder / ".debug" / link).string());
        candidates.push_back(std::string(kDebugRoot) + (folder / link).string());
    }
    return candidates;
}

int FindLocalDebugInfo(Dwfl_Module* module, void**, const char*, Dwarf_Addr, const char* fileName,
                       const char* debugLink, GElf_Word, char** debugFileName) {
    const DwarfLibrary* dw = LoadedDwarfLibrary();
    const unsigned char* bits = nullptr;
    GElf_Addr ignored = 0;
    const int length = dw != nullptr ? dw->moduleBuildId(module, &bits, &ignored) : 0;
    const std::span<const std::uint8_t> buildId =
        length > 0 ? std::span<const std::uint8_t>(bits, static_cast<std::size_t>(length))
                   : std::span<const std::uint8_t>();
    for (const std::string& candidate :
         LocalDebugFileCandidates(buildId, fileName != nullptr ? fileName : "", debugLink)) {
        const int fd = ::open(candidate.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        *debugFileName = ::strdup(candidate.c_str());
        return fd;
    }
    return -1;
}

} // namespace faulttrap
