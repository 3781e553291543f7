#include "crashreport/debuginfo/inlined_calls.h"

#include "crashreport/debuginfo/debug_data_error.h"

#include <algorithm>
#include <limits>
#include <map>

namespace faulttrap {

namespace {

// Deeper chains than this are taken for damage; compilers stop inlining long before.
constexpr std::uint64_t maxDepth = 255;

std::uint32_t Narrow(std::uint64_t value, const char* what) {
    if (value > std::numeric_limits<std::uint32_t>::max()) {
        throw DebugDataError(std::string("damaged data: ") + what + " out of range");
    }
    return static_cast<std::uint32_t>(value);
}

// A count of items that take at least `smallest` bytes each, checked against the data left.
std::uint32_t Count(ByteReader& in, std::size_t smallest, const char* what) {
    const std::uint64_t value = in.Varint(what);
    if (value > in.Remaining() / smallest) {
        throw DebugDataError(std::string(what) + " " + std::to_string(value) + " exceeds the data");
    }
    return static_cast<std::uint32_t>(value);
}

std::span<const std::uint8_t> StoredName(ByteReader& in, std::span<const std::uint8_t> data,
                                         const NameDecoding& decoding) {
    const std::size_t start = in.Position();
    SkipNameField(in, decoding);
    return data.subspan(start, in.Position() - start);
}

// The record with its names still as stored.
struct StoredCalls {
    struct Function {
        std::optional<std::uint32_t> className;
        std::span<const std::uint8_t> procedure;
        std::uint32_t firstLine = 0;
        std::optional<std::uint32_t> file;
    };
    std::vector<Function> functions;
    std::vector<std::span<const std::uint8_t>> files;
    std::vector<std::span<const std::uint8_t>> classes;
    std::vector<InlinedCallRange> ranges;
};

// A range's first byte: how its depth follows from the range before, whether its extent is
// its parent's, and whether its call file is the calling function's own file.
constexpr std::uint8_t childOfPrevious = 0;
constexpr std::uint8_t sameDepth = 1;
constexpr std::uint8_t depthGiven = 2;
constexpr std::uint8_t depthMask = 3;
constexpr std::uint8_t parentExtent = 4;
constexpr std::uint8_t callerFile = 8;

std::uint64_t Zigzag(std::int64_t value) {
    return (static_cast<std::uint64_t>(value) << 1) ^ static_cast<std::uint64_t>(value >> 63);
}

std::int64_t Unzigzag(std::uint64_t value) {
    return static_cast<std::int64_t>(value >> 1) ^ -static_cast<std::int64_t>(value & 1);
}

// The last range seen at each depth: a range's parent is the last one a depth up.
class Parents {
public:
    const InlinedCallRange* Of(std::uint32_t depth) const {
        return depth > 0 && depth - 1 < last_.size() ? last_[depth - 1] : nullptr;
    }
    void Add(const InlinedCallRange& range) {
        if (last_.size() <= range.depth) {
            last_.resize(range.depth + 1);
        }
        last_[range.depth] = &range;
        last_.resize(range.depth + 1); // deeper ones belong to earlier parents
    }

private:
    std::vector<const InlinedCallRange*> last_;
};

// The field streams of the ranges, each a varint length and its bytes.
struct RangeStreams {
    ByteWriter headers;
    ByteWriter extents;
    ByteWriter functions;
    ByteWriter files;
    ByteWriter lines;
};

std::span<const std::uint8_t> Stream(ByteReader& in) {
    return in.Bytes(in.Varint("inlined call stream length"), "inlined call stream");
}

StoredCalls Parse(std::span<const std::uint8_t> payload, const NameDecoding& decoding) {
    ByteReader in(payload);
    StoredCalls stored;
    stored.files.resize(Count(in, 1, "inlined call file count"));
    for (auto& file : stored.files) {
        file = StoredName(in, payload, decoding);
    }
    stored.classes.resize(Count(in, 1, "inlined function class count"));
    for (auto& className : stored.classes) {
        className = StoredName(in, payload, decoding);
    }
    stored.functions.resize(Count(in, 4, "inlined function count"));
    for (StoredCalls::Function& function : stored.functions) {
        if (const std::uint64_t className = in.Varint("inlined function class"); className > 0) {
            if (className > stored.classes.size()) {
                throw DebugDataError("inlined function names class " +
                                     std::to_string(className - 1) + " of " +
                                     std::to_string(stored.classes.size()));
            }
            function.className = static_cast<std::uint32_t>(className - 1);
        }
        function.procedure = StoredName(in, payload, decoding);
        function.firstLine = Narrow(in.Varint("inlined function line"), "inlined function line");
        if (const std::uint64_t file = in.Varint("inlined function file"); file > 0) {
            if (file > stored.files.size()) {
                throw DebugDataError("inlined function names file " + std::to_string(file - 1) +
                                     " of " + std::to_string(stored.files.size()));
            }
            function.file = static_cast<std::uint32_t>(file - 1);
        }
    }
    stored.ranges.resize(Count(in, 2, "inlined call count"));
    ByteReader headers(Stream(in));
    ByteReader extents(Stream(in));
    ByteReader functions(Stream(in));
    ByteReader files(Stream(in));
    ByteReader lines(Stream(in));
    if (!in.AtEnd()) {
        throw DebugDataError("unexpected bytes after the inlined call streams");
    }

    Parents parents;
    std::uint64_t begin = 0;
    std::uint32_t depth = 0;
    for (std::size_t i = 0; i < stored.ranges.size(); ++i) {
        InlinedCallRange& range = stored.ranges[i];
        const std::uint8_t header = headers.U8("inlined call header");
        if (header & ~(depthMask | parentExtent | callerFile)) {
            throw DebugDataError("inlined call header " + std::to_string(header) + " unknown");
        }
        const std::uint8_t step = header & depthMask;
        const std::uint64_t newDepth = step == childOfPrevious ? (i == 0 ? 0 : depth + 1)
                                       : step == sameDepth     ? depth
                                       : step == depthGiven ? headers.Varint("inlined call depth")
                                                            : maxDepth + 1;
        if (newDepth > maxDepth) {
            throw DebugDataError("inlined call depth " + std::to_string(newDepth) + " refused");
        }
        depth = range.depth = static_cast<std::uint32_t>(newDepth);
        const InlinedCallRange* parent = parents.Of(depth);
        if (header & parentExtent) {
            if (!parent) {
                throw DebugDataError("inlined call takes the extent of a missing parent");
            }
            range.begin = parent->begin;
            range.end = parent->end;
        } else {
            const std::uint64_t rangeBegin = begin + extents.Varint("inlined call offset");
            range.begin = Narrow(rangeBegin, "inlined call offset");
            range.end =
                Narrow(rangeBegin + extents.Varint("inlined call size"), "inlined call end");
        }
        if (range.begin < begin) {
            throw DebugDataError("inlined calls out of address order");
        }
        begin = range.begin;
        range.function = Narrow(functions.Varint("inlined function"), "inlined function");
        if (range.function >= stored.functions.size()) {
            throw DebugDataError("inlined call names function " + std::to_string(range.function) +
                                 " of " + std::to_string(stored.functions.size()));
        }
        if (depth > 0) {
            const StoredCalls::Function* caller =
                parent ? &stored.functions[parent->function] : nullptr;
            if (header & callerFile) {
                if (!caller || !caller->file) {
                    throw DebugDataError("inlined call takes the file of an unknown caller");
                }
                range.callFile = *caller->file;
            } else {
                range.callFile = Narrow(files.Varint("inlined call file"), "inlined call file");
                if (range.callFile >= stored.files.size()) {
                    throw DebugDataError("inlined call names file " +
                                         std::to_string(range.callFile) + " of " +
                                         std::to_string(stored.files.size()));
                }
            }
            const std::int64_t line = std::int64_t{caller ? caller->firstLine : 0} +
                                      Unzigzag(lines.Varint("inlined call line"));
            if (line < 0 || line > std::numeric_limits<std::uint32_t>::max()) {
                throw DebugDataError("inlined call line out of range");
            }
            range.callLine = static_cast<std::uint32_t>(line);
        } else if (header & callerFile) {
            throw DebugDataError("out-of-line function with a call file");
        }
        parents.Add(range);
    }
    if (!headers.AtEnd() || !extents.AtEnd() || !functions.AtEnd() || !files.AtEnd() ||
        !lines.AtEnd()) {
        throw DebugDataError("unexpected bytes after the last inlined call");
    }
    return stored;
}

std::string ReadName(std::span<const std::uint8_t> stored, const NameDecoding& decoding,
                     NameRole role) {
    ByteReader field(stored);
    return ReadNameField(field, decoding, role);
}

} // namespace

void WriteInlinedCalls(ByteWriter& out, const InlinedCalls& calls, const NameCipher& cipher) {
    out.Varint(calls.files.size());
    for (const std::string& file : calls.files) {
        WriteNameField(out, file, cipher);
    }
    // Classes by use, the most used first; a name's class is what comes before its first dot.
    std::map<std::string_view, std::size_t> classUses;
    for (const InlinedFunction& function : calls.functions) {
        if (const std::size_t dot = function.name.find('.'); dot != std::string::npos) {
            ++classUses[std::string_view(function.name).substr(0, dot)];
        }
    }
    std::vector<std::pair<std::string_view, std::size_t>> classes(classUses.begin(),
                                                                  classUses.end());
    std::stable_sort(classes.begin(), classes.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    std::map<std::string_view, std::uint32_t> classNumbers;
    out.Varint(classes.size());
    for (const auto& [className, uses] : classes) {
        classNumbers[className] = static_cast<std::uint32_t>(classNumbers.size());
        WriteNameField(out, className, cipher);
    }
    out.Varint(calls.functions.size());
    for (const InlinedFunction& function : calls.functions) {
        const std::size_t dot = function.name.find('.');
        const std::string_view name(function.name);
        out.Varint(dot == std::string::npos ? 0 : classNumbers.at(name.substr(0, dot)) + 1);
        WriteNameField(out, dot == std::string::npos ? name : name.substr(dot + 1), cipher);
        out.Varint(function.firstLine);
        out.Varint(function.file ? std::uint64_t{*function.file} + 1 : 0);
    }
    std::vector<InlinedCallRange> ranges = calls.ranges;
    std::stable_sort(ranges.begin(), ranges.end(), [](const auto& a, const auto& b) {
        return a.begin != b.begin ? a.begin < b.begin : a.depth < b.depth;
    });
    out.Varint(ranges.size());
    RangeStreams streams;
    Parents parents;
    std::uint32_t begin = 0;
    std::uint32_t depth = 0;
    for (std::size_t i = 0; i < ranges.size(); ++i) {
        const InlinedCallRange& range = ranges[i];
        const InlinedCallRange* parent = parents.Of(range.depth);
        const InlinedFunction* caller = parent && parent->function < calls.functions.size()
                                            ? &calls.functions[parent->function]
                                            : nullptr;
        std::uint8_t header = range.depth == (i == 0 ? 0 : depth + 1) ? childOfPrevious
                              : range.depth == depth                  ? sameDepth
                                                                      : depthGiven;
        const bool sameExtent = parent && parent->begin == range.begin && parent->end == range.end;
        if (sameExtent) {
            header |= parentExtent;
        }
        const bool impliedFile =
            range.depth > 0 && caller && caller->file && *caller->file == range.callFile;
        if (impliedFile) {
            header |= callerFile;
        }
        streams.headers.U8(header);
        if (header % 4 == depthGiven) {
            streams.headers.Varint(range.depth);
        }
        if (!sameExtent) {
            streams.extents.Varint(range.begin - begin);
            streams.extents.Varint(range.end > range.begin ? range.end - range.begin : 0);
        }
        streams.functions.Varint(range.function);
        if (range.depth > 0) {
            if (!impliedFile) {
                streams.files.Varint(range.callFile);
            }
            streams.lines.Varint(Zigzag(std::int64_t{range.callLine} -
                                        std::int64_t{caller ? caller->firstLine : 0}));
        }
        begin = range.begin;
        depth = range.depth;
        parents.Add(range);
    }
    for (const ByteWriter* field :
         {&streams.headers, &streams.extents, &streams.functions, &streams.files, &streams.lines}) {
        out.Varint(field->size());
        out.Raw(field->Bytes());
    }
}

InlinedCalls ReadInlinedCalls(std::span<const std::uint8_t> payload, const NameDecoding& decoding) {
    const StoredCalls stored = Parse(payload, decoding);
    InlinedCalls calls;
    for (const StoredCalls::Function& function : stored.functions) {
        std::string name = ReadName(function.procedure, decoding, NameRole::procedure);
        if (function.className) {
            name = ReadName(stored.classes[*function.className], decoding, NameRole::procedure) +
                   "." + name;
        }
        calls.functions.push_back({std::move(name), function.firstLine, function.file});
    }
    for (const auto& file : stored.files) {
        calls.files.push_back(ReadName(file, decoding, NameRole::unit));
    }
    calls.ranges = stored.ranges;
    return calls;
}

InlinedCallIndex::InlinedCallIndex(std::span<const std::uint8_t> payload,
                                   const NameDecoding& decoding)
    : decoding_(decoding) {
    StoredCalls stored = Parse(payload, decoding);
    for (const StoredCalls::Function& function : stored.functions) {
        functions_.push_back({function.className, function.procedure, function.firstLine});
    }
    classes_ = std::move(stored.classes);
    files_ = std::move(stored.files);
    ranges_ = std::move(stored.ranges);
    for (std::uint32_t i = 0; i < ranges_.size(); ++i) {
        const InlinedCallRange& range = ranges_[i];
        if (range.end <= range.begin) {
            continue;
        }
        if (byDepth_.size() <= range.depth) {
            byDepth_.resize(range.depth + 1);
            beginsByDepth_.resize(range.depth + 1);
        }
        // Stored in begin order, so each depth's list comes out sorted.
        byDepth_[range.depth].push_back(i);
        beginsByDepth_[range.depth].push_back(range.begin);
    }
}

std::string_view InlinedCallIndex::Decipher(std::span<const std::uint8_t> stored, NameRole role) {
    auto& known = names_[role == NameRole::unit ? 0 : 1];
    const std::string_view key(reinterpret_cast<const char*>(stored.data()), stored.size());
    if (const auto found = known.find(key); found != known.end()) {
        return found->second;
    }
    return known.emplace(key, ReadName(stored, decoding_, role)).first->second;
}

std::string_view InlinedCallIndex::NameOf(std::uint32_t function) {
    if (const auto found = functionNames_.find(function); found != functionNames_.end()) {
        return found->second;
    }
    const Function& stored = functions_[function];
    std::string name(Decipher(stored.storedProcedure, NameRole::procedure));
    if (stored.storedClass) {
        name =
            std::string(Decipher(classes_[*stored.storedClass], NameRole::procedure)) + "." + name;
    }
    return functionNames_.emplace(function, std::move(name)).first->second;
}

std::vector<InlinedScopeView> InlinedCallIndex::ScopesAt(std::uint64_t offset) {
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
            if (depth == 0) {
                continue;
            }
            break;
        }
        if (!chain.empty() &&
            (range->begin < chain.back()->begin || range->end > chain.back()->end)) {
            break;
        }
        chain.push_back(range);
    }
    std::vector<InlinedScopeView> scopes;
    if (chain.empty() || chain.back()->depth == 0) {
        return scopes;
    }
    for (auto range = chain.rbegin(); range != chain.rend(); ++range) {
        InlinedScopeView scope{
            NameOf((*range)->function), functions_[(*range)->function].firstLine, {}, 0};
        if ((*range)->depth > 0) {
            scope.callFile = Decipher(files_[(*range)->callFile], NameRole::unit);
            scope.callLine = (*range)->callLine;
        }
        scopes.push_back(scope);
    }
    return scopes;
}

} // namespace faulttrap
