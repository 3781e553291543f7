#include "debuginfo/inlined_calls.h"

#include "debuginfo/debug_data_error.h"

#include <algorithm>
#include <limits>

namespace faulttrap {

namespace {

// Deeper chains than this are taken for damage; compilers stop inlining long before.
constexpr std::uint64_t maxDepth = 255;

std::uint32_t narrow(std::uint64_t value, const char* what) {
    if (value > std::numeric_limits<std::uint32_t>::max())
        throw DebugDataError(std::string("damaged data: ") + what + " out of range");
    return static_cast<std::uint32_t>(value);
}

// A count of items that take at least `smallest` bytes each, checked against the data left.
std::uint32_t count(ByteReader& in, std::size_t smallest, const char* what) {
    const std::uint64_t value = in.varint(what);
    if (value > in.remaining() / smallest)
        throw DebugDataError(std::string(what) + " " + std::to_string(value) + " exceeds the data");
    return static_cast<std::uint32_t>(value);
}

std::span<const std::uint8_t> storedName(ByteReader& in, std::span<const std::uint8_t> data,
                                         const NameDecoding& decoding) {
    const std::size_t start = in.position();
    skipNameField(in, decoding);
    return data.subspan(start, in.position() - start);
}

// The record with its names still as stored.
struct StoredCalls {
    std::vector<std::pair<std::span<const std::uint8_t>, std::uint32_t>> functions;
    std::vector<std::span<const std::uint8_t>> files;
    std::vector<InlinedCallRange> ranges;
};

StoredCalls parse(std::span<const std::uint8_t> payload, const NameDecoding& decoding) {
    ByteReader in(payload);
    StoredCalls stored;
    stored.functions.resize(count(in, 2, "inlined function count"));
    for (auto& [name, firstLine] : stored.functions) {
        name = storedName(in, payload, decoding);
        firstLine = narrow(in.varint("inlined function line"), "inlined function line");
    }
    stored.files.resize(count(in, 1, "inlined call file count"));
    for (auto& file : stored.files)
        file = storedName(in, payload, decoding);
    stored.ranges.resize(count(in, 4, "inlined call count"));
    std::uint64_t begin = 0;
    for (InlinedCallRange& range : stored.ranges) {
        begin += in.varint("inlined call offset");
        const std::uint64_t end = begin + in.varint("inlined call size");
        range.begin = narrow(begin, "inlined call offset");
        range.end = narrow(end, "inlined call end");
        const std::uint64_t depth = in.varint("inlined call depth");
        if (depth > maxDepth)
            throw DebugDataError("inlined call depth " + std::to_string(depth) + " too deep");
        range.depth = static_cast<std::uint32_t>(depth);
        range.function = narrow(in.varint("inlined function"), "inlined function");
        if (range.function >= stored.functions.size())
            throw DebugDataError("inlined call names function " + std::to_string(range.function) +
                                 " of " + std::to_string(stored.functions.size()));
        if (range.depth > 0) {
            range.callFile = narrow(in.varint("inlined call file"), "inlined call file");
            if (range.callFile >= stored.files.size())
                throw DebugDataError("inlined call names file " + std::to_string(range.callFile) +
                                     " of " + std::to_string(stored.files.size()));
            range.callLine = narrow(in.varint("inlined call line"), "inlined call line");
        }
    }
    if (!in.atEnd())
        throw DebugDataError("unexpected bytes after the last inlined call");
    return stored;
}

std::string readName(std::span<const std::uint8_t> stored, const NameDecoding& decoding,
                     NameRole role) {
    ByteReader field(stored);
    return readNameField(field, decoding, role);
}

} // namespace

void writeInlinedCalls(ByteWriter& out, const InlinedCalls& calls, const NameCipher& cipher) {
    out.varint(calls.functions.size());
    for (const InlinedFunction& function : calls.functions) {
        writeNameField(out, function.name, cipher);
        out.varint(function.firstLine);
    }
    out.varint(calls.files.size());
    for (const std::string& file : calls.files)
        writeNameField(out, file, cipher);
    std::vector<InlinedCallRange> ranges = calls.ranges;
    std::stable_sort(ranges.begin(), ranges.end(), [](const auto& a, const auto& b) {
        return a.begin != b.begin ? a.begin < b.begin : a.depth < b.depth;
    });
    out.varint(ranges.size());
    std::uint32_t previous = 0;
    for (const InlinedCallRange& range : ranges) {
        out.varint(range.begin - previous);
        out.varint(range.end > range.begin ? range.end - range.begin : 0);
        out.varint(range.depth);
        out.varint(range.function);
        if (range.depth > 0) {
            out.varint(range.callFile);
            out.varint(range.callLine);
        }
        previous = range.begin;
    }
}

InlinedCalls readInlinedCalls(std::span<const std::uint8_t> payload, const NameDecoding& decoding) {
    const StoredCalls stored = parse(payload, decoding);
    InlinedCalls calls;
    for (const auto& [name, firstLine] : stored.functions)
        calls.functions.push_back({readName(name, decoding, NameRole::procedure), firstLine});
    for (const auto& file : stored.files)
        calls.files.push_back(readName(file, decoding, NameRole::unit));
    calls.ranges = stored.ranges;
    return calls;
}

InlinedCallIndex::InlinedCallIndex(std::span<const std::uint8_t> payload,
                                   const NameDecoding& decoding)
    : decoding_(decoding) {
    StoredCalls stored = parse(payload, decoding);
    for (const auto& [name, firstLine] : stored.functions)
        functions_.push_back({name, firstLine});
    files_ = std::move(stored.files);
    ranges_ = std::move(stored.ranges);
    for (std::uint32_t i = 0; i < ranges_.size(); ++i) {
        const InlinedCallRange& range = ranges_[i];
        if (range.end <= range.begin)
            continue;
        if (byDepth_.size() <= range.depth) {
            byDepth_.resize(range.depth + 1);
            beginsByDepth_.resize(range.depth + 1);
        }
        // Stored in begin order, so each depth's list comes out sorted.
        byDepth_[range.depth].push_back(i);
        beginsByDepth_[range.depth].push_back(range.begin);
    }
}

std::string_view InlinedCallIndex::decipher(std::span<const std::uint8_t> stored, NameRole role) {
    auto& known = names_[role == NameRole::unit ? 0 : 1];
    const std::string_view key(reinterpret_cast<const char*>(stored.data()), stored.size());
    if (const auto found = known.find(key); found != known.end())
        return found->second;
    return known.emplace(key, readName(stored, decoding_, role)).first->second;
}

std::vector<InlinedScopeView> InlinedCallIndex::scopesAt(std::uint64_t offset) {
    // Outermost first while searching: at each depth the range that holds the offset, which
    // must lie within the one found a depth up.
    std::vector<const InlinedCallRange*> chain;
    for (std::size_t depth = 0; depth < byDepth_.size(); ++depth) {
        const std::vector<std::uint32_t>& begins = beginsByDepth_[depth];
        const auto after = std::upper_bound(begins.begin(), begins.end(), offset);
        const InlinedCallRange* range =
            after == begins.begin()
                ? nullptr
                : &ranges_[byDepth_[depth][static_cast<std::size_t>(after - begins.begin() - 1)]];
        if (!range || offset >= range->end) {
            // Without its out-of-line function's record the chain may still start inlined.
            if (depth == 0)
                continue;
            break;
        }
        if (!chain.empty() &&
            (range->begin < chain.back()->begin || range->end > chain.back()->end))
            break;
        chain.push_back(range);
    }
    std::vector<InlinedScopeView> scopes;
    if (chain.empty() || chain.back()->depth == 0)
        return scopes;
    for (auto range = chain.rbegin(); range != chain.rend(); ++range) {
        const Function& function = functions_[(*range)->function];
        InlinedScopeView scope{
            decipher(function.storedName, NameRole::procedure), function.firstLine, {}, 0};
        if ((*range)->depth > 0) {
            scope.callFile = decipher(files_[(*range)->callFile], NameRole::unit);
            scope.callLine = (*range)->callLine;
        }
        scopes.push_back(scope);
    }
    return scopes;
}

} // namespace faulttrap
