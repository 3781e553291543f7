#include "crashreport/debuginfo/tests/inlined_chain.h"

namespace inlined_chain {

namespace {

[[gnu::noinline]] void Note(Record& record) {
    record.returnAddress = reinterpret_cast<std::uintptr_t>(__builtin_return_address(0));
    asm volatile("" ::: "memory");
}

[[gnu::always_inline]] inline void Deepest(Record& record) {
    Note(record); // CALL: Deepest
    ++record.after;
}

[[gnu::always_inline]] inline void Middle(Record& record) {
    Deepest(record); // CALL: Middle
    ++record.after;
}

} // namespace

[[gnu::noinline]] void RunInlinedChain(Record& record) {
    Middle(record); // CALL: RunInlinedChain
    ++record.after;
}

} // namespace inlined_chain
