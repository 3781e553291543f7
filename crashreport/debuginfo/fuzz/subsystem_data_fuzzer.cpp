// Feeds arbitrary bytes to the container decoder and, when that accepts them, to the
// debug-information decoder and the lookup index, with and without a valid password.
#include "debuginfo/debug_data_error.h"
#include "debuginfo/debug_index.h"
#include "debuginfo/subsystem_data.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    using namespace faulttrap;
    try {
        const SubsystemData data = decodeSubsystemData({bytes, size});
        const NameCipher cipher("");
        const bool valid = passwordMatches(data, "");
        const DebugIndex index(decodeDebugInfo(data.debugInformation, {&cipher, valid, true}));
        for (const DebugIndex::Range& range : index.ranges())
            (void)index.find(range.begin);
    } catch (const DebugDataError&) {
    }
    return 0;
}
