#include "tools/faulttrap/debug_info_builder.h"

#include <algorithm>
#include <limits>
#include <map>
#include <optional>
#include <tuple>

namespace faulttrap {

namespace {

constexpr std::uint64_t paddingBytes = 16;
constexpr std::uint64_t maxAdvance = 0x10000;
constexpr std::uint64_t storableEnd = std::numeric_limits<std::uint32_t>::max();

std::string WithoutDots(std::string text) {
    std::replace(text.begin(), text.end(), '.', '_');
    return text;
}

// Sorted spans with the padding between them given to the line before, and neighbours of
// the same file and line merged.
std::vector<SourceLineSpan> NormalisedLines(std::vector<SourceLineSpan> lines) {
    std::erase_if(lines, [](const SourceLineSpan& span) { return span.end > storableEnd; });
    std::stable_sort(lines.begin(), lines.end(),
                     [](const auto& a, const auto& b) { return a.begin < b.begin; });
    std::vector<SourceLineSpan> result;
    for (SourceLineSpan& span : lines) {
        if (!result.empty() && span.begin < result.back().end) {
            span.begin = result.back().end; // overlapping rows: the first one wins
        }
        if (span.end <= span.begin) {
            continue;
        }
        if (!result.empty()) {
            SourceLineSpan& last = result.back();
            if (span.begin - last.end <= paddingBytes) {
                last.end = span.begin;
            }
            if (last.end == span.begin && last.file == span.file && last.line == span.line) {
                last.end = span.end;
                continue;
            }
        }
        result.push_back(std::move(span));
    }
    return result;
}

class UnitBuilder {
public:
    UnitBuilder(const std::vector<FunctionSpan>& functions) : functions_(functions) {}

    void Add(const SourceLineSpan& span) {
        const std::optional<std::size_t> function = FunctionAt(span.begin);
        if (function) {
            firstLines_.try_emplace(*function, span.line);
        }
        if (!Extends(span, function)) {
            StartUnit(span, function);
        }
        end_ = span.end;
    }

    CompactDebugInfo Finish() {
        CloseUnit();
        return std::move(info_);
    }

private:
    std::optional<std::size_t> FunctionAt(std::uint64_t address) const {
        const auto after =
            std::upper_bound(functions_.begin(), functions_.end(), address,
                             [](std::uint64_t value, const auto& f) { return value < f.begin; });
        if (after == functions_.begin() || address >= std::prev(after)->end) {
            return std::nullopt;
        }
        return static_cast<std::size_t>(std::prev(after) - functions_.begin());
    }

    // Appends the span to the open unit with one step, when a step can express it.
    bool Extends(const SourceLineSpan& span, std::optional<std::size_t> function) {
        if (!open_ || span.file != Unit().name || span.begin != end_ || span.line <= line_ ||
            span.line - line_ > maxAdvance || span.begin - offset_ > maxAdvance ||
            (!function && function_)) {
            return false;
        }
        UnitStep step{{span.line - line_, static_cast<std::uint32_t>(span.begin - offset_), false},
                      {}};
        if (function && function != function_) {
            NameProcedure(step, *function);
        }
        Unit().steps.push_back(std::move(step));
        line_ = span.line;
        offset_ = span.begin;
        return true;
    }

    void StartUnit(const SourceLineSpan& span, std::optional<std::size_t> function) {
        CloseUnit();
        open_ = true;
        DebugUnit unit;
        unit.name = span.file.substr(0, maxNameFieldBytes);
        unit.codeOffset = static_cast<std::uint32_t>(span.begin);
        unit.firstLine = span.line;
        function_.reset();
        if (function) {
            // A zero-length first step names the procedure the unit's code belongs to, at the
            // procedure's first line, so that a line after a step backwards keeps its offset
            // from the procedure; a zero-length second step moves on to the span's line.
            std::uint32_t first = firstLines_.at(*function);
            if (first >= span.line || span.line - first > maxAdvance) {
                first = span.line;
            }
            unit.firstLine = first - 1;
            UnitStep step{{1, 0, false}, {}};
            NameProcedure(step, *function);
            unit.steps.push_back(std::move(step));
            if (span.line > first) {
                unit.steps.push_back(UnitStep{{span.line - first, 0, false}, {}});
            }
        }
        info_.units.push_back(std::move(unit));
        line_ = span.line;
        offset_ = span.begin;
    }

    void NameProcedure(UnitStep& step, std::size_t function) {
        const FunctionSpan& f = functions_[function];
        step.step.startsProcedure = true;
        const std::string qualifier = WithoutDots(f.qualifier);
        if (qualifier.empty()) {
            step.procedure = WithoutDots(f.name);
        } else if (qualifier == recentClass_) {
            step.procedure = "." + WithoutDots(f.name);
        } else {
            step.procedure = qualifier + "." + WithoutDots(f.name);
        }
        if (!qualifier.empty()) {
            recentClass_ = qualifier;
        }
        function_ = function;
    }

    void CloseUnit() {
        if (open_) {
            Unit().codeSize = static_cast<std::uint32_t>(end_ - Unit().codeOffset);
        }
        open_ = false;
    }

    DebugUnit& Unit() { return info_.units.back(); }

    const std::vector<FunctionSpan>& functions_;
    CompactDebugInfo info_;
    bool open_ = false;
    std::uint32_t line_ = 0;
    std::uint64_t offset_ = 0;
    std::uint64_t end_ = 0;
    std::optional<std::size_t> function_;
    std::map<std::size_t, std::uint32_t> firstLines_; // of each function, at its lowest address
    std::string recentClass_;
};

// Numbers each distinct key by how often it is used, the most used first, so that the
// most frequent references take the fewest bytes.
template <typename Key> class FrequencyOrder {
public:
    void Use(const Key& key) { ++uses_[key]; }
    // The keys in their order, and each key's number.
    std::vector<Key> Order() {
        std::vector<std::pair<Key, std::size_t>> byUse(uses_.begin(), uses_.end());
        std::stable_sort(byUse.begin(), byUse.end(),
                         [](const auto& a, const auto& b) { return a.second > b.second; });
        std::vector<Key> keys;
        for (const auto& [key, uses] : byUse) {
            numbers_[key] = static_cast<std::uint32_t>(keys.size());
            keys.push_back(key);
        }
        return keys;
    }
    std::uint32_t Number(const Key& key) const { return numbers_.at(key); }

private:
    std::map<Key, std::size_t> uses_;
    std::map<Key, std::uint32_t> numbers_;
};

std::string StoredFile(const std::string& file) {
    return file.substr(0, maxNameFieldBytes);
}

// The inlined-call record: each distinct function and file stored once, spans by number.
InlinedCalls BuildInlinedCalls(const std::vector<InlinedCallSpan>& spans) {
    using FunctionKey = std::tuple<std::string, std::uint32_t, std::string>;
    std::vector<const InlinedCallSpan*> kept;
    std::vector<FunctionKey> keys;
    FrequencyOrder<FunctionKey> functions;
    FrequencyOrder<std::string> files;
    for (const InlinedCallSpan& span : spans) {
        if (span.end > storableEnd || span.end <= span.begin) {
            continue;
        }
        const std::string qualifier = WithoutDots(span.qualifier).substr(0, maxInlinedNamePart);
        const std::string name = WithoutDots(span.name).substr(0, maxInlinedNamePart);
        FunctionKey key{qualifier.empty() ? name : qualifier + "." + name, span.firstLine,
                        StoredFile(span.declarationFile)};
        functions.Use(key);
        if (!std::get<2>(key).empty()) {
            files.Use(std::get<2>(key));
        }
        if (span.depth > 0) {
            files.Use(StoredFile(span.callFile));
        }
        kept.push_back(&span);
        keys.push_back(std::move(key));
    }
    InlinedCalls calls;
    calls.files = files.Order();
    for (const auto& [name, firstLine, file] : functions.Order()) {
        calls.functions.push_back(
            {name, firstLine,
             file.empty() ? std::nullopt : std::optional<std::uint32_t>(files.Number(file))});
    }
    for (std::size_t i = 0; i < kept.size(); ++i) {
        const InlinedCallSpan& span = *kept[i];
        InlinedCallRange range;
        range.begin = static_cast<std::uint32_t>(span.begin);
        range.end = static_cast<std::uint32_t>(span.end);
        range.depth = span.depth;
        range.function = functions.Number(keys[i]);
        if (span.depth > 0) {
            range.callFile = files.Number(StoredFile(span.callFile));
            range.callLine = span.callLine;
        }
        calls.ranges.push_back(range);
    }
    return calls;
}

} // namespace

CompactDebugInfo BuildCompactDebugInfo(ProgramDebugData data) {
    std::stable_sort(data.functions.begin(), data.functions.end(),
                     [](const auto& a, const auto& b) { return a.begin < b.begin; });
    UnitBuilder builder(data.functions);
    for (const SourceLineSpan& span : NormalisedLines(std::move(data.lines))) {
        builder.Add(span);
    }
    CompactDebugInfo info = builder.Finish();
    info.inlinedCalls = BuildInlinedCalls(data.inlinedCalls);
    return info;
}

} // namespace faulttrap
