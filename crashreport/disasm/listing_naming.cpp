#include "crashreport/disasm/listing_naming.h"

#include "crashreport/disasm/guarded_memory.h"

#include <array>
#include <cstring>

namespace faulttrap {

namespace {

constexpr std::size_t kCommentCharacters = 32;

const TCodeNaming& Naming(void* userData) {
    return *static_cast<const TCodeNaming*>(userData);
}

std::optional<std::uint64_t> ReadPointer(std::uint64_t address) {
    std::array<std::uint8_t, sizeof(void*)> bytes;
    if (ReadMemory(address, bytes) != bytes.size()) {
        return std::nullopt;
    }
    std::uintptr_t value = 0;
    std::memcpy(&value, bytes.data(), bytes.size());
    return value;
}

// A stub that only jumps through an import cell ("jmp [cell]", optionally after an endbr64 and a
// bnd prefix): the routine it leads to.
std::optional<std::uint64_t> ImportCellTarget(std::uint64_t stub) {
    std::array<std::uint8_t, 11> code;
    const std::size_t got = ReadMemory(stub, code);
    std::size_t at = 0;
    static constexpr std::uint8_t kEndBranch[] = {0xF3, 0x0F, 0x1E, 0xFA};
    if (got >= 4 && std::memcmp(code.data(), kEndBranch, 4) == 0) {
        at = 4;
    }
    if (at < got && code[at] == 0xF2) {
        ++at;
    }
    if (at + 6 > got || code[at] != 0xFF || code[at + 1] != 0x25) {
        return std::nullopt;
    }
    std::int32_t offset = 0;
    std::memcpy(&offset, &code[at + 2], sizeof offset);
    const std::uint64_t end = stub + at + 6;
    const std::uint64_t cell = sizeof(void*) == 8 ? end + static_cast<std::uint64_t>(offset)
                                                  : static_cast<std::uint32_t>(offset);
    return ReadPointer(cell);
}

void NameBranchTarget(void* userData, std::uint64_t, std::uint64_t target, unsigned,
                      std::string& text) {
    std::string name = AddressName(Naming(userData), target);
    if (name.empty()) {
        if (const auto routine = ImportCellTarget(target)) {
            name = AddressName(Naming(userData), *routine);
        }
    }
    if (!name.empty()) {
        text = name;
    }
}

void NameMemoryAddress(void* userData, std::uint64_t, std::uint64_t address, unsigned size,
                       std::string& text) {
    std::string name = AddressName(Naming(userData), address);
    if (name.empty()) {
        if (const auto stored = ReadPointer(address)) {
            name = AddressName(Naming(userData), *stored);
        }
    }
    if (!name.empty()) {
        text = name;
        return;
    }
    // An address that is only computed (lea) is a pointer in its own right, like an immediate.
    if (size == 0) {
        text += StringComment(address);
    }
}

void CommentImmediate(void*, std::uint64_t, std::uint64_t value, unsigned size, std::string& text) {
    if (size == 4 || size == 8) {
        text += StringComment(value);
    }
}

std::string WithoutExtension(const std::string& unit) {
    const std::size_t dot = unit.rfind('.');
    return dot == std::string::npos || dot == 0 ? unit : unit.substr(0, dot);
}

} // namespace

std::string AddressName(const TCodeNaming& naming, std::uint64_t address) {
    if (const auto place = naming.SourcePlace(address)) {
        std::string name = JoinedPlaceName(*place);
        if (place->LineOffset > 1) {
            name += " (Line=" + std::to_string(place->Line) + ")";
        }
        return name;
    }
    return naming.ObjectClassName(address);
}

std::string JoinedPlaceName(const TSourcePlace& place) {
    std::string name;
    for (const std::string& part :
         {WithoutExtension(place.Unit), place.ClassName, place.Procedure}) {
        if (!part.empty()) {
            name += (name.empty() ? "" : ".") + part;
        }
    }
    return name;
}

std::string StringComment(std::uint64_t address) {
    std::array<std::uint8_t, kCommentCharacters> bytes;
    const std::size_t got = ReadMemory(address, bytes);
    if (got == 0) {
        return {};
    }
    std::string characters;
    bool terminated = false;
    for (std::size_t i = 0; i < got && !terminated; ++i) {
        if (bytes[i] == 0) {
            terminated = true;
        } else {
            characters += bytes[i] < 32 ? '.' : static_cast<char>(bytes[i]);
        }
    }
    return "  ; '" + characters + "'" + (terminated ? "" : "...");
}

TNamingCallbacks ListingNamingCallbacks(const TCodeNaming& naming) {
    TNamingCallbacks callbacks;
    callbacks.JumpTarget = NameBranchTarget;
    callbacks.CallTarget = NameBranchTarget;
    callbacks.MemoryAddress = NameMemoryAddress;
    callbacks.Immediate = CommentImmediate;
    callbacks.UserData = const_cast<TCodeNaming*>(&naming);
    return callbacks;
}

} // namespace faulttrap
