#include "crashreport/debuginfo/call_site.h"

#include "crashreport/debuginfo/safe_memory.h"

#include <array>
#include <cstring>

namespace faulttrap {

namespace {

constexpr std::size_t window = 8; // the longest form (REX FF ModRM SIB disp32) is 8 bytes

std::int32_t Int32At(const std::uint8_t* bytes) {
    std::int32_t value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

bool IsRex(std::uint8_t byte) {
    return (byte & 0xF0) == 0x40;
}

// The FF /2 forms by length, in the order they are tried.
struct IndirectForm {
    std::size_t length;
    bool (*fits)(std::uint8_t mod, std::uint8_t rm, std::uint8_t base);
};

constexpr std::array<IndirectForm, 8> indirectForms{{
    {2, [](auto mod, auto, auto) { return mod == 3; }},                                 // reg
    {2, [](auto mod, auto rm, auto) { return mod == 0 && rm != 4 && rm != 5; }},        // [reg]
    {3, [](auto mod, auto rm, auto) { return mod == 1 && rm != 4; }},                   // [reg+d8]
    {6, [](auto mod, auto rm, auto) { return mod == 2 && rm != 4; }},                   // [reg+d32]
    {3, [](auto mod, auto rm, auto base) { return mod == 0 && rm == 4 && base != 5; }}, // [sib]
    {4, [](auto mod, auto rm, auto) { return mod == 1 && rm == 4; }},                   // [sib+d8]
    {7,
     [](auto mod, auto rm, auto base) { // [sib+d32]
         return rm == 4 && (mod == 2 || (mod == 0 && base == 5));
     }},
    {6, [](auto mod, auto rm, auto) { return mod == 0 && rm == 5; }}, // [rip+d32]
}};

} // namespace

std::optional<CallSite> CallSiteBefore(std::uintptr_t returnAddress) {
    std::array<std::uint8_t, window> bytes;
    if (returnAddress < window || !ReadMemory(returnAddress - window, bytes.data(), window)) {
        return std::nullopt;
    }
    const auto at = [&](std::size_t back) { return bytes[window - back]; }; // byte at R - back

    if (at(5) == 0xE8) {
        return CallSite{returnAddress - 5,
                        returnAddress + static_cast<std::intptr_t>(Int32At(&bytes[window - 4]))};
    }

    for (const IndirectForm& form : indirectForms) {
        const std::size_t length = form.length;
        if (at(length) != 0xFF) {
            continue;
        }
        const std::uint8_t modrm = at(length - 1);
        const std::uint8_t mod = modrm >> 6;
        const std::uint8_t rm = modrm & 7;
        const std::uint8_t base = length >= 3 ? at(length - 2) & 7 : 0;
        if (((modrm >> 3) & 7) != 2 || !form.fits(mod, rm, base)) {
            continue;
        }
        if (mod == 0 && rm == 5) {
            const std::uintptr_t cell =
                returnAddress + static_cast<std::intptr_t>(Int32At(&bytes[window - 4]));
            std::uint64_t ignored;
            if (!ReadMemory(cell, &ignored, sizeof ignored)) {
                continue;
            }
        }
        const bool prefixed = length < window && IsRex(at(length + 1));
        return CallSite{returnAddress - length - (prefixed ? 1 : 0), std::nullopt};
    }
    return std::nullopt;
}

std::optional<std::uintptr_t> CalledProcedure(std::uintptr_t target) {
    std::array<std::uint8_t, 16> code;
    if (!ReadMemory(target, code.data(), code.size())) {
        return std::nullopt;
    }
    if (code[0] == 0xE8) {
        return std::nullopt;
    }
    std::size_t at = 0;
    if (code[0] == 0xF3 && code[1] == 0x0F && code[2] == 0x1E && code[3] == 0xFA) {
        at = 4; // ENDBR64
    }
    if (code[at] == 0xF2) {
        ++at; // BND
    }
    if (code[at] != 0xFF || code[at + 1] != 0x25) {
        return target;
    }
    const std::uintptr_t cell =
        target + at + 6 + static_cast<std::intptr_t>(Int32At(&code[at + 2]));
    std::uintptr_t destination = 0;
    if (!ReadMemory(cell, &destination, sizeof destination)) {
        return target;
    }
    return destination;
}

} // namespace faulttrap
