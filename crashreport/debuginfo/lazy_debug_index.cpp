#include "crashreport/debuginfo/lazy_debug_index.h"

#include "crashreport/debuginfo/compact_debug_info.h"
#include "crashreport/debuginfo/debug_data_error.h"
#include "crashreport/debuginfo/line_step.h"

#include <algorithm>

namespace faulttrap {

namespace {

// Every unit record takes at least 17 bytes, which bounds a forged count.
constexpr std::size_t smallestRecord = 17;

// The bytes of a name field and its continuations, passed over; data is what in reads.
std::span<const std::uint8_t> StoredName(ByteReader& in, std::span<const std::uint8_t> data,
                                         const NameDecoding& decoding) {
    const std::size_t start = in.Position();
    SkipNameField(in, decoding);
    return data.subspan(start, in.Position() - start);
}

} // namespace

struct LazyDebugIndex::Block {
    struct Row {
        std::uint64_t begin = 0;
        std::uint64_t end = 0;
        std::uint32_t line = 0;
        std::optional<std::size_t> procedure;
    };
    struct Procedure {
        std::string_view storedName; // deciphered, still with its class
        std::string_view className;
        std::string_view name;
        std::uint32_t firstLine = 0;
    };

    std::string_view unit;
    std::vector<Row> rows; // in address order, without gaps
    std::vector<Procedure> procedures;
    // The class the record's own names make the most recent, if any.
    std::optional<std::string_view> namedClass;
    // Whether the procedures' classes are known, which takes the names of the records before.
    bool classesNamed = false;
    std::string_view classAfter; // the most recent class after this record, once known
};

LazyDebugIndex::LazyDebugIndex(std::vector<std::uint8_t> information, const NameCipher& cipher,
                               bool passwordValid, bool continuation)
    : information_(std::move(information)), cipher_(std::make_unique<NameCipher>(cipher)),
      decoding_{cipher_.get(), passwordValid, continuation} {
    ByteReader in(information_);
    const std::uint32_t count = in.U32("unit count");
    if (count > in.Remaining() / smallestRecord) {
        throw DebugDataError("unit count " + std::to_string(count) + " exceeds the data");
    }
    records_.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        Record record;
        record.namePosition = static_cast<std::uint32_t>(in.Position());
        SkipNameField(in, decoding_);
        record.firstLine = in.U32("unit first line");
        record.begin = in.U32("unit code offset");
        record.end = std::uint64_t{record.begin} + in.U32("unit code size");
        record.tableLength = in.U32("line table length");
        record.tablePosition = static_cast<std::uint32_t>(in.Position());
        in.Bytes(record.tableLength, "line table");
        records_.push_back(record);
    }
    for (const DebugRecord& record : ReadDebugRecords(in)) {
        if (record.kind == static_cast<std::uint8_t>(DebugRecordKind::inlinedCalls)) {
            inlinedCalls_ = record.payload;
        }
    }

    for (std::uint32_t i = 0; i < count; ++i) {
        if (records_[i].end > records_[i].begin) {
            byAddress_.push_back(i);
        }
    }
    std::stable_sort(
        byAddress_.begin(), byAddress_.end(),
        [this](std::uint32_t a, std::uint32_t b) { return records_[a].begin < records_[b].begin; });
    begins_.reserve(byAddress_.size());
    ends_.reserve(byAddress_.size());
    for (const std::uint32_t record : byAddress_) {
        begins_.push_back(records_[record].begin);
        ends_.push_back(records_[record].end);
    }
    blocks_.resize(count);
}

LazyDebugIndex::~LazyDebugIndex() = default;

std::string_view LazyDebugIndex::Decipher(std::span<const std::uint8_t> stored,
                                          NameRole role) const {
    auto& known = names_[role == NameRole::unit ? 0 : 1];
    const std::string_view key(reinterpret_cast<const char*>(stored.data()), stored.size());
    if (const auto found = known.find(key); found != known.end()) {
        return found->second;
    }
    ByteReader field(stored);
    return known.emplace(key, ReadNameField(field, decoding_, role)).first->second;
}

// Turns the record's line table into address ranges, as DebugIndex does for every record.
std::unique_ptr<LazyDebugIndex::Block> LazyDebugIndex::Decode(const Record& record) const {
    auto block = std::make_unique<Block>();
    try {
        const std::span<const std::uint8_t> data(information_);
        const auto nameData = data.subspan(record.namePosition);
        ByteReader name(nameData);
        block->unit = Decipher(StoredName(name, nameData, decoding_), NameRole::unit);
        // Positions within the table are taken relative to the whole data, so that the
        // stored name bytes can be found again.
        ByteReader table(data.first(record.tablePosition + record.tableLength));
        table.Bytes(record.tablePosition, "line table");

        std::optional<std::size_t> current;
        std::uint32_t line = record.firstLine;
        std::uint64_t offset = record.begin;
        const auto addRow = [&](std::uint64_t end) {
            const std::uint64_t clippedEnd = std::min(end, record.end);
            if (clippedEnd > offset) {
                block->rows.push_back({offset, clippedEnd, line, current});
            }
        };
        while (!table.AtEnd()) {
            const LineStep step = ReadLineStep(table);
            const std::uint64_t next = offset + step.offsetAdvance;
            addRow(next);
            offset = next;
            line += step.lineAdvance;
            if (!step.startsProcedure) {
                continue;
            }
            const std::string_view text =
                Decipher(StoredName(table, data, decoding_), NameRole::procedure);
            block->procedures.push_back({text, {}, text, line});
            if (const std::size_t dot = text.find('.'); dot != 0 && dot != text.npos) {
                block->namedClass = text.substr(0, dot);
            }
            // Code ahead of a unit's first procedure start belongs to that procedure.
            if (!current) {
                for (auto& row : block->rows) {
                    row.procedure = 0;
                }
            }
            current = block->procedures.size() - 1;
        }
        addRow(record.end);
    } catch (const DebugDataError&) {
        return std::make_unique<Block>();
    }
    return block;
}

const LazyDebugIndex::Block& LazyDebugIndex::BlockAt(std::size_t record) const {
    auto& block = blocks_[record];
    if (!block) {
        block = Decode(records_[record]);
    }
    return *block;
}

// A name that starts with "." belongs to the class most recently named, which may have been
// named by any record before: the records before are decoded back to the nearest one that
// names a class or whose classes are known. The records passed on the way name none, so
// their classes are settled at the same time.
void LazyDebugIndex::NameClasses(std::size_t record) const {
    if (BlockAt(record).classesNamed) {
        return;
    }
    std::size_t first = record;
    std::string_view recent;
    while (first > 0) {
        const Block& before = BlockAt(first - 1);
        if (before.classesNamed) {
            recent = before.classAfter;
            break;
        }
        if (before.namedClass) {
            recent = *before.namedClass;
            break;
        }
        --first;
    }
    for (std::size_t i = first; i <= record; ++i) {
        Block& block = *blocks_[i];
        for (Block::Procedure& procedure : block.procedures) {
            const std::size_t dot = procedure.storedName.find('.');
            if (dot == 0) {
                procedure.className = recent;
                procedure.name = procedure.storedName.substr(1);
            } else if (dot != std::string_view::npos) {
                procedure.className = procedure.storedName.substr(0, dot);
                procedure.name = procedure.storedName.substr(dot + 1);
                recent = procedure.className;
            }
        }
        block.classesNamed = true;
        block.classAfter = recent;
    }
}

std::vector<InlinedScopeView> LazyDebugIndex::InlinedScopesAt(std::uint64_t offset) const {
    std::lock_guard lock(mutex_);
    if (!inlinedIndexTried_) {
        inlinedIndexTried_ = true;
        if (!inlinedCalls_.empty()) {
            try {
                inlinedIndex_ = std::make_unique<InlinedCallIndex>(inlinedCalls_, decoding_);
            } catch (const DebugDataError&) {
            }
        }
    }
    return inlinedIndex_ ? inlinedIndex_->ScopesAt(offset) : std::vector<InlinedScopeView>{};
}

std::optional<SourcePlaceView> LazyDebugIndex::Find(std::uint64_t offset) const {
    const auto after =
        std::upper_bound(begins_.begin(), begins_.end(), offset,
                         [](std::uint64_t value, std::uint32_t begin) { return value < begin; });
    if (after == begins_.begin()) {
        return std::nullopt;
    }
    const auto position = static_cast<std::size_t>(after - begins_.begin() - 1);
    if (offset >= ends_[position]) {
        return std::nullopt;
    }
    const std::size_t record = byAddress_[position];

    std::lock_guard lock(mutex_);
    if (!blocks_[record] || !blocks_[record]->classesNamed) {
        NameClasses(record);
    }
    const Block& block = *blocks_[record];
    const auto row = std::upper_bound(
        block.rows.begin(), block.rows.end(), offset,
        [](std::uint64_t value, const Block::Row& candidate) { return value < candidate.begin; });
    if (row == block.rows.begin() || offset >= std::prev(row)->end) {
        return std::nullopt;
    }
    const Block::Row& found = *std::prev(row);
    SourcePlaceView place{block.unit, {}, {}, found.line, 0};
    if (found.procedure) {
        const Block::Procedure& procedure = block.procedures[*found.procedure];
        place.className = procedure.className;
        place.procedure = procedure.name;
        if (found.line > procedure.firstLine) {
            place.lineOffset = found.line - procedure.firstLine;
        }
    }
    return place;
}

} // namespace faulttrap
