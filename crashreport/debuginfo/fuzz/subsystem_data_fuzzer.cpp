// Feeds arbitrary bytes to the container decoder and, when that accepts them, to the
// debug-information decoder and both lookup indexes. The same bytes also go to the
// debug-information decoder directly, which random bytes rarely reach through zlib, and to
// the inlined-call record's reader and index as a record payload.
#include "crashreport/debuginfo/debug_data_error.h"
#include "crashreport/debuginfo/debug_index.h"
#include "crashreport/debuginfo/inlined_calls.h"
#include "crashreport/debuginfo/lazy_debug_index.h"
#include "crashreport/debuginfo/subsystem_data.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace {

void IndexDebugInfo(std::span<const std::uint8_t> information, bool passwordValid) {
    using namespace faulttrap;
    const NameCipher cipher("");
    const LazyDebugIndex lazy({information.begin(), information.end()}, cipher, passwordValid,
                              true);
    const CompactDebugInfo info = DecodeDebugInfo(information, {&cipher, passwordValid, true});
    const DebugIndex index(info);
    for (const DebugIndex::Range& range : index.Ranges()) {
        (void)index.Find(range.begin);
        (void)lazy.Find(range.begin);
    }
    for (const InlinedCallRange& range : info.inlinedCalls.ranges) {
        (void)lazy.InlinedScopesAt(range.begin);
        (void)lazy.InlinedScopesAt(range.end - 1);
    }
}

void IndexInlinedCalls(std::span<const std::uint8_t> payload, bool passwordValid) {
    using namespace faulttrap;
    const NameCipher cipher("");
    const InlinedCalls calls = ReadInlinedCalls(payload, {&cipher, passwordValid, true});
    InlinedCallIndex index(payload, {&cipher, passwordValid, true});
    for (const InlinedCallRange& range : calls.ranges) {
        (void)index.ScopesAt(range.begin);
        (void)index.ScopesAt(range.end - 1);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    using namespace faulttrap;
    try {
        const SubsystemData data = DecodeSubsystemData({bytes, size});
        IndexDebugInfo(data.debugInformation, PasswordMatches(data, ""));
    } catch (const DebugDataError&) {
    }
    try {
        IndexDebugInfo({bytes, size}, size % 2 == 0);
    } catch (const DebugDataError&) {
    }
    try {
        IndexInlinedCalls({bytes, size}, size % 2 == 0);
    } catch (const DebugDataError&) {
    }
    return 0;
}
