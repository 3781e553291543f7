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

void indexDebugInfo(std::span<const std::uint8_t> information, bool passwordValid) {
    using namespace faulttrap;
    const NameCipher cipher("");
    const LazyDebugIndex lazy({information.begin(), information.end()}, cipher, passwordValid,
                              true);
    const CompactDebugInfo info = decodeDebugInfo(information, {&cipher, passwordValid, true});
    const DebugIndex index(info);
    for (const DebugIndex::Range& range : index.ranges()) {
        (void)index.find(range.begin);
        (void)lazy.find(range.begin);
    }
    for (const InlinedCallRange& range : info.inlinedCalls.ranges) {
        (void)lazy.inlinedScopesAt(range.begin);
        (void)lazy.inlinedScopesAt(range.end - 1);
    }
}

void indexInlinedCalls(std::span<const std::uint8_t> payload, bool passwordValid) {
    using namespace faulttrap;
    const NameCipher cipher("");
    const InlinedCalls calls = readInlinedCalls(payload, {&cipher, passwordValid, true});
    InlinedCallIndex index(payload, {&cipher, passwordValid, true});
    for (const InlinedCallRange& range : calls.ranges) {
        (void)index.scopesAt(range.begin);
        (void)index.scopesAt(range.end - 1);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    using namespace faulttrap;
    try {
        const SubsystemData data = decodeSubsystemData({bytes, size});
        indexDebugInfo(data.debugInformation, passwordMatches(data, ""));
    } catch (const DebugDataError&) {
    }
    try {
        indexDebugInfo({bytes, size}, size % 2 == 0);
    } catch (const DebugDataError&) {
    }
    try {
        indexInlinedCalls({bytes, size}, size % 2 == 0);
    } catch (const DebugDataError&) {
    }
    return 0;
}
