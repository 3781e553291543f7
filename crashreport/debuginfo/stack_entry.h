#pragma once

#include "crashreport/debuginfo/module_list.h"

#include <cstdint>
#include <string>
#include <vector>

namespace faulttrap {

// How much is known of a call-stack entry's address.
enum class EntryKind : std::uint8_t {
    unknown = 0, // outside every module, or hidden
    module = 1,  // the module only
    procedure = 2,
    unit = 3, // unit and procedure, no line
    line = 4,
};

struct TFaultStackEntry {
    EntryKind kind = EntryKind::unknown;
    const TFaultModuleInfo* module = nullptr; // none for kind 0
    std::uint32_t threadId = 0;
    std::uint8_t threadStackMark = 1; // 0 for entries of the stack recorded at thread creation
    std::uint8_t exceptionMark = 0;   // 1 only for the exception address itself
    std::uint8_t leakMark = 0;
    // 0 for an address's first row; N for the Nth caller of inlined code at the same address.
    std::uint8_t inlineLevel = 0;
    std::uintptr_t address = 0; // for a call site, the call instruction
    std::string unitName;       // each name at most 64 characters
    std::string className;
    std::string procedureName;
    std::uint32_t lineNumber = 0;
    std::uint32_t lineOffset = 0;
    // Leak entries: the leaked type ("Data" for raw memory), total size and count of its blocks.
    std::string leakType;
    std::uint64_t leakSize = 0;
    std::uint64_t leakCount = 0;
};

// The call stack of one or more threads; it owns its entries.
using TFaultStackList = std::vector<TFaultStackEntry>;

} // namespace faulttrap
