#pragma once

#include "crashreport/debuginfo/resolver.h"
#include "crashreport/debuginfo/stack_entry.h"

#include <bitset>
#include <cstdint>
#include <optional>

namespace faulttrap {

inline constexpr std::size_t maxScannedStackBytes = 102400;

struct StackScanRequest {
    std::optional<std::uintptr_t> exceptionAddress;
    std::uintptr_t stackPointer = 0;
    std::uintptr_t stackTop = 0;   // one past the highest stack byte
    std::bitset<5> kinds{0b11111}; // the entry kinds to keep, by EntryKind value
    int skip = -1;                 // entries to pass over first; -1 for none
    int maxCount = -1;             // greatest number of entries; -1 for no limit
    bool addCalledProcedures = true;
    bool resolve = true;
    std::uint8_t threadStackMark = 1;
    std::uint32_t threadId = 0;
    // The thread's start routine, whose address the thread's start keeps on its stack: a code
    // address that is no return address, though it follows the last call of the function before
    // it in the file.
    std::uintptr_t startRoutine = 0;
};

// Scans a thread's stack for return addresses and returns its call stack.
TFaultStackList BuildCallStack(const StackScanRequest& request, AddressResolver& resolver);

// The same, appending to an existing list (other threads, calling-thread stacks).
void AppendCallStack(TFaultStackList& list, const StackScanRequest& request,
                     AddressResolver& resolver);

} // namespace faulttrap
