#pragma once

#include "crashreport/debuginfo/byte_io.h"
#include "crashreport/debuginfo/name_field.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace faulttrap {

// The debug information may follow its unit records with further records, each a kind byte,
// a 32-bit length and that many bytes; a reader passes over kinds it does not know. Data
// written before these records existed simply ends after the units.
enum class DebugRecordKind : std::uint8_t { inlinedCalls = 1 };

// Call-stack rows show at most this many characters of a class or a procedure name, so the
// record stores no more of either.
inline constexpr std::size_t maxInlinedNamePart = 64;

// A function whose code the compiler put into its callers, or an out-of-line function
// holding such code. The name is "class.procedure", or the procedure alone.
struct InlinedFunction {
    std::string name;
    std::uint32_t firstLine = 0;       // where the function is declared
    std::optional<std::uint32_t> file; // index into InlinedCalls::files: where it is declared

    bool operator==(const InlinedFunction&) const = default;
};

// A stretch of code of one function at one depth of inlining: depth 0 is an out-of-line
// function's own code, depth N code inlined N calls deep into it. Inlined code names the
// place of the call in the function one depth up.
struct InlinedCallRange {
    std::uint32_t begin = 0; // code offsets from the module's code start
    std::uint32_t end = 0;
    std::uint32_t depth = 0;
    std::uint32_t function = 0; // index into InlinedCalls::functions
    std::uint32_t callFile = 0; // index into InlinedCalls::files (depth above 0 only)
    std::uint32_t callLine = 0;

    bool operator==(const InlinedCallRange&) const = default;
};

struct InlinedCalls {
    std::vector<InlinedFunction> functions;
    std::vector<std::string> files; // without folder
    std::vector<InlinedCallRange> ranges;

    bool empty() const { return ranges.empty(); }
    bool operator==(const InlinedCalls&) const = default;
};

// The record's payload: the files, the classes, the functions (a class number and the
// procedure's name each), then the ranges sorted by begin, then depth
// (the writer sorts a copy), each range's fields in a stream of their own, which compresses
// best. A range is told from the one before it and from the range one depth up that holds it
// (its parent): its depth as a step, its extent as its parent's when they are the same, its
// call file as the calling function's own file and its call line from that function's first
// line. Names go through the name cipher like the unit records' names.
void WriteInlinedCalls(ByteWriter& out, const InlinedCalls& calls, const NameCipher& cipher);
// Damaged data raises DebugDataError.
InlinedCalls ReadInlinedCalls(std::span<const std::uint8_t> payload, const NameDecoding& decoding);

// One function of the inlined-call chain at an address.
struct InlinedScopeView {
    std::string_view function;
    std::uint32_t firstLine = 0;
    // Where this function's code was called from in the next scope of the chain; empty for
    // an out-of-line function.
    std::string_view callFile;
    std::uint32_t callLine = 0;

    bool operator==(const InlinedScopeView&) const = default;
};

// Answers the chain of inlined calls at a code offset from the record's payload. Names are
// deciphered on first need and kept; the returned text lives as long as the index. Not
// thread-safe: its owner serialises lookups.
class InlinedCallIndex {
public:
    // Damaged data raises DebugDataError.
    InlinedCallIndex(std::span<const std::uint8_t> payload, const NameDecoding& decoding);

    // Innermost first: the function whose code is at the offset, then its callers up to and
    // including the out-of-line function, when the offset lies in inlined code; empty
    // otherwise.
    std::vector<InlinedScopeView> ScopesAt(std::uint64_t offset);

private:
    struct Function {
        std::optional<std::uint32_t> storedClass; // index into classes_
        std::span<const std::uint8_t> storedProcedure;
        std::uint32_t firstLine = 0;
    };
    std::string_view NameOf(std::uint32_t function);
    std::string_view Decipher(std::span<const std::uint8_t> stored, NameRole role);

    NameDecoding decoding_;
    std::vector<Function> functions_;
    std::vector<std::span<const std::uint8_t>> files_;             // stored names
    std::vector<std::span<const std::uint8_t>> classes_;           // stored names
    std::unordered_map<std::uint32_t, std::string> functionNames_; // "class.procedure" by index
    std::vector<InlinedCallRange> ranges_;
    // Per depth, the ranges' indexes and their begins, sorted by begin.
    std::vector<std::vector<std::uint32_t>> byDepth_;
    std::vector<std::vector<std::uint32_t>> beginsByDepth_;
    std::unordered_map<std::string_view, std::string> names_[2];
};

} // namespace faulttrap
