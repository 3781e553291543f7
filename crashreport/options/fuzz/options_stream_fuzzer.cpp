// Feeds arbitrary bytes to the options-stream reader. Whatever the bytes, reading must either
// give options or raise OptionsStreamError: no crash, no over-read, no other exception. Options
// that were read must survive writing and reading again unchanged, and the two readers (bytes
// and std::istream) must agree.

#include "crashreport/options/options_stream.h"

#include <cstdint>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

using faulttrap::DecodeOptionsStream;
using faulttrap::EncodeOptionsStream;
using faulttrap::kCurrentDataVersion;
using faulttrap::OptionsStreamError;
using faulttrap::TFaultOptionsContent;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    std::optional<TFaultOptionsContent> fromBytes;
    try {
        fromBytes = DecodeOptionsStream(bytes, kCurrentDataVersion);
    } catch (const OptionsStreamError&) {
    }

    std::istringstream stream{std::string(bytes)};
    std::optional<TFaultOptionsContent> fromStream;
    try {
        fromStream = DecodeOptionsStream(stream, kCurrentDataVersion);
    } catch (const OptionsStreamError&) {
    }

    if (fromBytes) {
        if (!fromStream || !(*fromStream == *fromBytes)) {
            __builtin_trap();
        }
        // Writing applies the text rule once; after that a round trip changes nothing.
        const std::string once = EncodeOptionsStream(*fromBytes);
        const std::string twice =
            EncodeOptionsStream(DecodeOptionsStream(once, kCurrentDataVersion));
        if (once != twice) {
            __builtin_trap();
        }
    }
    return 0;
}
