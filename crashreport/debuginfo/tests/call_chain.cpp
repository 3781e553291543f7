// Built with -O2 -g: the frames must be found and resolved in optimised code.
#include "crashreport/debuginfo/tests/call_chain.h"

namespace faulttrap::testing_chain {

namespace {

ChainRecord* record = nullptr;
void (*capture)(std::uintptr_t) = nullptr;
volatile int sink = 0;

// Notes where a call was made from; the macro keeps the call and its line together.
#define CALL_NOTED(slot, caller, call)                                                             \
    (record->callLines[slot] = __LINE__, record->callers[slot] = caller, (call))

__attribute__((noinline)) void Note(int slot, void* returnAddress) {
    record->returnAddresses[slot] = reinterpret_cast<std::uintptr_t>(returnAddress);
}

__attribute__((noinline)) int Innermost(int depth) {
    Note(2, __builtin_return_address(0));
    std::uintptr_t stackPointer;
    asm volatile("mov %%rsp, %0" : "=r"(stackPointer));
    capture(stackPointer);
    return depth + sink;
}

__attribute__((noinline)) int Middle(int depth) {
    Note(1, __builtin_return_address(0));
    const int result = CALL_NOTED(2, "Middle", Innermost(depth + 1));
    return result + sink;
}

__attribute__((noinline)) int Outer(int depth) {
    Note(0, __builtin_return_address(0));
    const int result = CALL_NOTED(1, "Outer", Middle(depth + 1));
    return result + sink;
}

} // namespace

__attribute__((noinline)) int RunCallChain(ChainRecord& chainRecord,
                                           void (*captureStack)(std::uintptr_t)) {
    record = &chainRecord;
    capture = captureStack;
    const int result = CALL_NOTED(0, "RunCallChain", Outer(0));
    return result + sink;
}

} // namespace faulttrap::testing_chain
