#include "crashreport/debuginfo/dwarf_line_table.h"

#include "crashreport/debuginfo/debug_data_error.h"
#include "crashreport/debuginfo/dwarf_address_ranges.h"
#include "crashreport/debuginfo/dwarf_cursor.h"

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <string>
#include <utility>

namespace faulttrap {

namespace {

// DWARF's codes, as far as the line tables use them.
enum : std::uint8_t {
    lnsCopy = 1,
    lnsAdvancePc = 2,
    lnsAdvanceLine = 3,
    lnsSetFile = 4,
    lnsSetColumn = 5,
    lnsNegateStmt = 6,
    lnsSetBasicBlock = 7,
    lnsConstAddPc = 8,
    lnsFixedAdvancePc = 9,
    lnsSetPrologueEnd = 10,
    lnsSetEpilogueBegin = 11,
    lnsSetIsa = 12,
};
enum : std::uint8_t { lneEndSequence = 1, lneSetAddress = 2 };
enum : std::uint64_t { lnctPath = 1 };
enum : std::uint64_t {
    formBlock2 = 0x03,
    formBlock4 = 0x04,
    formData2 = 0x05,
    formData4 = 0x06,
    formData8 = 0x07,
    formString = 0x08,
    formBlock = 0x09,
    formBlock1 = 0x0a,
    formData1 = 0x0b,
    formFlag = 0x0c,
    formSdata = 0x0d,
    formStrp = 0x0e,
    formUdata = 0x0f,
    formData16 = 0x1e,
    formLineStrp = 0x1f,
};

std::string Hex(std::uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(value));
    return text;
}

struct EntryFormat {
    std::uint64_t content = 0;
    std::uint64_t form = 0;
};

} // namespace

struct DwarfLineTable::Unit {
    std::uint16_t version = 0;
    std::size_t offsetSize = 4;
    std::uint8_t minimumInstructionLength = 1;
    std::uint8_t maximumOperations = 1;
    std::int8_t lineBase = 0;
    std::uint8_t lineRange = 1;
    std::uint8_t opcodeBase = 1;
    std::vector<std::uint8_t> standardOpcodeLengths; // of opcodes 1 .. opcodeBase - 1
    std::vector<std::string_view> files;             // by the number the program uses
    std::size_t programBegin = 0;
    std::size_t programEnd = 0;
};

struct DwarfLineTable::State {
    std::uint64_t address = 0;
    std::uint64_t operationIndex = 0;
    std::uint64_t file = 1;
    std::uint64_t line = 1;
};

namespace {

// A value of an entry of the DWARF 5 directory and file tables: a string for a path form.
std::string_view ReadEntryValue(DwarfCursor& cursor, std::uint64_t form, std::size_t offsetSize,
                                const DwarfLineSections& sections) {
    switch (form) {
    case formString:
        return cursor.CString("an entry's name");
    case formLineStrp:
        return DwarfStringAt(sections.lineStr, cursor.UnsignedOfSize(offsetSize, "a name offset"),
                             ".debug_line_str");
    case formStrp:
        return DwarfStringAt(sections.str, cursor.UnsignedOfSize(offsetSize, "a name offset"),
                             ".debug_str");
    case formData1:
    case formFlag:
        cursor.Skip(1, "an entry");
        return {};
    case formData2:
        cursor.Skip(2, "an entry");
        return {};
    case formData4:
        cursor.Skip(4, "an entry");
        return {};
    case formData8:
        cursor.Skip(8, "an entry");
        return {};
    case formData16:
        cursor.Skip(16, "an entry");
        return {};
    case formUdata:
        cursor.Uleb("an entry");
        return {};
    case formSdata:
        cursor.Sleb("an entry");
        return {};
    case formBlock1:
        cursor.Skip(cursor.U8("a block's length"), "a block");
        return {};
    case formBlock2:
        cursor.Skip(cursor.U16("a block's length"), "a block");
        return {};
    case formBlock4:
        cursor.Skip(cursor.U32("a block's length"), "a block");
        return {};
    case formBlock:
        cursor.Skip(cursor.Uleb("a block's length"), "a block");
        return {};
    default:
        throw DebugDataError("the entry form " + Hex(form) + " is not supported");
    }
}

bool IsStringForm(std::uint64_t form) {
    return form == formString || form == formLineStrp || form == formStrp;
}

// A DWARF 5 table of directories or files: its entry formats, then its entries. The paths,
// in order, when `paths` is given.
void ReadEntryTable(DwarfCursor& cursor, std::size_t offsetSize, const DwarfLineSections& sections,
                    std::vector<std::string_view>* paths) {
    const std::uint8_t formatCount = cursor.U8("the entry format count");
    std::vector<EntryFormat> formats(formatCount);
    for (EntryFormat& format : formats) {
        format.content = cursor.Uleb("an entry format");
        format.form = cursor.Uleb("an entry format");
        if (format.content == lnctPath && !IsStringForm(format.form)) {
            throw DebugDataError("a path of the form " + Hex(format.form) +
                                 ", which is not a string");
        }
    }
    const std::uint64_t count = cursor.Uleb("the entry count");
    // Every supported form takes at least one byte, so a count above the bytes left is false.
    if (count != 0 && (formats.empty() || count > cursor.Remaining())) {
        throw DebugDataError("an entry count of " + std::to_string(count) +
                             " that the header cannot hold");
    }
    for (std::uint64_t i = 0; i < count; ++i) {
        std::string_view path;
        for (const EntryFormat& format : formats) {
            const std::string_view value =
                ReadEntryValue(cursor, format.form, offsetSize, sections);
            if (format.content == lnctPath) {
                path = value;
            }
        }
        if (paths) {
            paths->push_back(path);
        }
    }
}

// The DWARF 2-4 tables: directory names up to an empty one, then file entries (name,
// directory, time, size) up to an empty name. Files are numbered from 1.
void ReadOlderTables(DwarfCursor& cursor, std::vector<std::string_view>& files) {
    while (!cursor.CString("the directory table").empty()) {
    }
    files.emplace_back();
    for (;;) {
        const std::string_view name = cursor.CString("the file table");
        if (name.empty()) {
            return;
        }
        cursor.Uleb("a file's directory");
        cursor.Uleb("a file's time");
        cursor.Uleb("a file's size");
        files.push_back(name);
    }
}

} // namespace

struct DwarfLineTable::Lazy {
    // One unit's header and sequences, indexed on its first lookup.
    struct UnitLines {
        Unit unit;
        std::vector<Sequence> sequences; // sorted by begin
        std::vector<std::uint64_t> reach;
        bool fitsItsRanges = false;
    };
    struct Range {
        std::uint64_t begin = 0;
        std::uint64_t end = 0;
        std::size_t unit = 0;
    };

    std::mutex mutex;
    std::vector<Range> ranges; // sorted by begin
    std::vector<std::size_t> unitOffsets;
    std::vector<std::unique_ptr<UnitLines>> units; // by unit number, as far as indexed
    std::vector<bool> unusable;                    // units whose bytes are malformed
    bool fullIndexTried = false;

    // Whether the unit's code meets each range that names it.
    bool FitsItsRanges(const UnitLines& lines, std::size_t unit) const {
        return std::all_of(ranges.begin(), ranges.end(), [&](const Range& range) {
            return range.unit != unit ||
                   std::any_of(lines.sequences.begin(), lines.sequences.end(),
                               [&](const Sequence& sequence) {
                                   return sequence.begin < range.end && range.begin < sequence.end;
                               });
        });
    }
};

namespace {

template <typename Sequence>
void SortWithReach(std::vector<Sequence>& sequences, std::vector<std::uint64_t>& reach) {
    std::sort(sequences.begin(), sequences.end(),
              [](const Sequence& a, const Sequence& b) { return a.begin < b.begin; });
    reach.clear();
    reach.reserve(sequences.size());
    std::uint64_t furthest = 0;
    for (const Sequence& sequence : sequences) {
        reach.push_back(furthest = std::max(furthest, sequence.end));
    }
}

} // namespace

DwarfLineTable::DwarfLineTable(DwarfLineSections sections) : sections_(sections) {
    if (!sections_.aranges.empty() && UseRanges()) {
        return;
    }
    BuildFullIndex();
}

DwarfLineTable::~DwarfLineTable() = default;
DwarfLineTable::DwarfLineTable(DwarfLineTable&&) noexcept = default;
DwarfLineTable& DwarfLineTable::operator=(DwarfLineTable&&) noexcept = default;

void DwarfLineTable::BuildFullIndex() const {
    std::size_t offset = 0;
    while (offset != sections_.line.size()) {
        try {
            Unit unit = ReadUnitHeader(offset);
            IndexUnit(unit, units_.size(), sequences_);
            offset = unit.programEnd;
            units_.push_back(std::move(unit));
        } catch (const DebugDataError& error) {
            throw DebugDataError(".debug_line unit at " + Hex(offset) + ": " + error.what());
        }
    }
    SortWithReach(sequences_, reach_);
}

bool DwarfLineTable::UseRanges() {
    auto lazy = std::make_unique<Lazy>();
    DwarfAddressRanges ranges;
    try {
        ranges = ReadDwarfAddressRanges(sections_.aranges);
    } catch (const DebugDataError&) {
        return false;
    }
    // Every unit's place and fixed fields now, so that a section damaged there is refused at
    // once; the tables of names and the programs when a lookup needs them.
    for (std::size_t offset = 0; offset != sections_.line.size();) {
        lazy->unitOffsets.push_back(offset);
        try {
            std::size_t fieldsBegin = 0;
            offset = ReadUnitFrame(offset, fieldsBegin).programEnd;
        } catch (const DebugDataError& error) {
            throw DebugDataError(".debug_line unit at " + Hex(offset) + ": " + error.what());
        }
    }
    // The units of .debug_info in their order, as the sets name them: with one per line unit,
    // the n-th owns the n-th line table.
    std::vector<std::uint64_t> infoUnits = std::move(ranges.unitOffsets);
    std::sort(infoUnits.begin(), infoUnits.end());
    infoUnits.erase(std::unique(infoUnits.begin(), infoUnits.end()), infoUnits.end());
    if (infoUnits.empty() || infoUnits.size() != lazy->unitOffsets.size()) {
        return false;
    }
    lazy->ranges.reserve(ranges.ranges.size());
    for (const DwarfAddressRange& range : ranges.ranges) {
        const auto unit = std::lower_bound(infoUnits.begin(), infoUnits.end(), range.unitOffset);
        lazy->ranges.push_back(
            {range.begin, range.end, static_cast<std::size_t>(unit - infoUnits.begin())});
    }
    std::sort(lazy->ranges.begin(), lazy->ranges.end(),
              [](const Lazy::Range& a, const Lazy::Range& b) { return a.begin < b.begin; });
    lazy->units.resize(lazy->unitOffsets.size());
    lazy->unusable.resize(lazy->unitOffsets.size());
    lazy_ = std::move(lazy);
    return true;
}

DwarfLineTable::Unit DwarfLineTable::ReadUnitHeader(std::size_t offset) const {
    std::size_t fieldsBegin = 0;
    Unit unit = ReadUnitFrame(offset, fieldsBegin);
    ReadUnitFields(unit, fieldsBegin);
    return unit;
}

DwarfLineTable::Unit DwarfLineTable::ReadUnitFrame(std::size_t offset,
                                                   std::size_t& fieldsBegin) const {
    DwarfCursor section(sections_.line, offset, sections_.line.size());
    Unit unit;
    std::uint64_t length = section.U32("the unit length");
    if (length == 0xffffffff) {
        length = section.U64("the unit length");
        unit.offsetSize = 8;
    } else if (length >= 0xfffffff0) {
        throw DebugDataError("the reserved unit length " + Hex(length));
    }
    if (length > section.Remaining()) {
        throw DebugDataError("a unit length of " + std::to_string(length) +
                             " bytes, past the section's end");
    }
    const std::size_t unitEnd = section.Position() + static_cast<std::size_t>(length);
    DwarfCursor header(sections_.line, section.Position(), unitEnd);

    unit.version = header.U16("the version");
    if (unit.version < 2 || unit.version > 5) {
        throw DebugDataError("version " + std::to_string(unit.version) + " is not supported");
    }
    if (unit.version >= 5) {
        header.U8("the address size");
        header.U8("the segment selector size");
    }
    const std::uint64_t headerLength = header.UnsignedOfSize(unit.offsetSize, "the header length");
    if (headerLength > header.Remaining()) {
        throw DebugDataError("a header length of " + std::to_string(headerLength) +
                             " bytes, past the unit's end");
    }
    unit.programBegin = header.Position() + static_cast<std::size_t>(headerLength);
    unit.programEnd = unitEnd;
    fieldsBegin = header.Position();
    return unit;
}

void DwarfLineTable::ReadUnitFields(Unit& unit, std::size_t fieldsBegin) const {
    DwarfCursor fields(sections_.line, fieldsBegin, unit.programBegin);
    unit.minimumInstructionLength = fields.U8("the minimum instruction length");
    if (unit.version >= 4) {
        unit.maximumOperations = fields.U8("the maximum operations per instruction");
    }
    if (unit.maximumOperations == 0) {
        throw DebugDataError("a maximum of 0 operations per instruction");
    }
    fields.U8("the default of is_stmt");
    unit.lineBase = static_cast<std::int8_t>(fields.U8("the line base"));
    unit.lineRange = fields.U8("the line range");
    if (unit.lineRange == 0) {
        throw DebugDataError("a line range of 0");
    }
    unit.opcodeBase = fields.U8("the opcode base");
    if (unit.opcodeBase == 0) {
        throw DebugDataError("an opcode base of 0");
    }
    for (int opcode = 1; opcode < unit.opcodeBase; ++opcode) {
        unit.standardOpcodeLengths.push_back(fields.U8("the standard opcode lengths"));
    }
    if (unit.version >= 5) {
        ReadEntryTable(fields, unit.offsetSize, sections_, nullptr);
        ReadEntryTable(fields, unit.offsetSize, sections_, &unit.files);
    } else {
        ReadOlderTables(fields, unit.files);
    }
}

void DwarfLineTable::IndexUnit(const Unit& unit, std::size_t unitIndex,
                               std::vector<Sequence>& into) const {
    DwarfCursor program(sections_.line, unit.programBegin, unit.programEnd);
    while (!program.AtLimit()) {
        const std::size_t start = program.Position();
        std::optional<std::uint64_t> first;
        std::uint64_t end = 0;
        const bool ended = RunSequence(unit, program, [&](const State& row, bool endOfSequence) {
            if (!first) {
                first = row.address;
            }
            if (endOfSequence) {
                end = row.address;
            }
        });
        // A sequence at address 0 is code the linker discarded.
        if (ended && first && *first != 0 && *first < end) {
            into.push_back({*first, end, unitIndex, start});
        }
    }
}

template <typename OnRow>
bool DwarfLineTable::RunSequence(const Unit& unit, DwarfCursor& program, OnRow&& onRow) const {
    State state;
    const auto advance = [&](std::uint64_t operations) {
        if (unit.maximumOperations == 1) {
            state.address += unit.minimumInstructionLength * operations;
        } else {
            const std::uint64_t total = state.operationIndex + operations;
            state.address += unit.minimumInstructionLength * (total / unit.maximumOperations);
            state.operationIndex = total % unit.maximumOperations;
        }
    };
    while (!program.AtLimit()) {
        const std::uint8_t opcode = program.U8("an opcode");
        if (opcode >= unit.opcodeBase) {
            const unsigned adjusted = opcode - unit.opcodeBase;
            advance(adjusted / unit.lineRange);
            state.line +=
                static_cast<std::uint64_t>(unit.lineBase + int(adjusted % unit.lineRange));
            onRow(state, false);
            continue;
        }
        switch (opcode) {
        case 0: {
            const std::uint64_t length = program.Uleb("an extended opcode's length");
            if (length == 0) {
                break;
            }
            if (length > program.Remaining()) {
                throw DebugDataError("an extended opcode longer than the unit");
            }
            const std::size_t next = program.Position() + static_cast<std::size_t>(length);
            const std::uint8_t extended = program.U8("an extended opcode");
            if (extended == lneEndSequence) {
                program.Skip(next - program.Position(), "an extended opcode");
                onRow(state, true);
                return true;
            }
            if (extended == lneSetAddress) {
                state.address =
                    program.UnsignedOfSize(static_cast<std::size_t>(length - 1), "an address");
                state.operationIndex = 0;
            }
            program.Skip(next - program.Position(), "an extended opcode");
            break;
        }
        case lnsCopy:
            onRow(state, false);
            break;
        case lnsAdvancePc:
            advance(program.Uleb("an address advance"));
            break;
        case lnsAdvanceLine:
            state.line += static_cast<std::uint64_t>(program.Sleb("a line advance"));
            break;
        case lnsSetFile:
            state.file = program.Uleb("a file number");
            break;
        case lnsSetColumn:
            program.Uleb("a column");
            break;
        case lnsNegateStmt:
        case lnsSetBasicBlock:
        case lnsSetPrologueEnd:
        case lnsSetEpilogueBegin:
            break;
        case lnsConstAddPc:
            advance((255u - unit.opcodeBase) / unit.lineRange);
            break;
        case lnsFixedAdvancePc:
            state.address += program.U16("an address advance");
            state.operationIndex = 0;
            break;
        case lnsSetIsa:
            program.Uleb("an instruction set");
            break;
        default:
            // An opcode this reader does not know: the header says how many numbers follow.
            for (unsigned i = 0; i < unit.standardOpcodeLengths[opcode - 1u]; ++i) {
                program.Uleb("an unknown opcode's operand");
            }
            break;
        }
    }
    return false;
}

const std::vector<DwarfLineTable::Sequence>& DwarfLineTable::FullIndex() const {
    if (!lazy_) {
        return sequences_;
    }
    // Under the lock: the lazy parts are filled in by lookups.
    if (!lazy_->fullIndexTried) {
        lazy_->fullIndexTried = true;
        try {
            BuildFullIndex();
        } catch (const DebugDataError&) {
            // A lookup on the report path never throws: a malformed section finds nothing.
            units_.clear();
            sequences_.clear();
            reach_.clear();
        }
    }
    return sequences_;
}

const std::vector<DwarfLineTable::Sequence>& DwarfLineTable::Sequences() const {
    if (!lazy_) {
        return sequences_;
    }
    const std::lock_guard<std::mutex> lock(lazy_->mutex);
    return FullIndex();
}

std::optional<DwarfLineTable::Row> DwarfLineTable::Find(std::uint64_t address) const {
    const auto unitOf = [this](std::size_t unit) -> const Unit& { return units_[unit]; };
    if (!lazy_) {
        return FindIn(sequences_, reach_, unitOf, address);
    }
    const std::lock_guard<std::mutex> lock(lazy_->mutex);
    bool decided = false;
    std::optional<Row> row = FindInUnitOfRange(address, decided);
    return decided ? row : FindIn(FullIndex(), reach_, unitOf, address);
}

std::optional<DwarfLineTable::Row> DwarfLineTable::FindInUnitOfRange(std::uint64_t address,
                                                                     bool& decided) const {
    const auto after = std::upper_bound(
        lazy_->ranges.begin(), lazy_->ranges.end(), address,
        [](std::uint64_t value, const Lazy::Range& range) { return value < range.begin; });
    if (after == lazy_->ranges.begin() || address >= std::prev(after)->end) {
        return std::nullopt;
    }
    const std::size_t unitIndex = std::prev(after)->unit;
    std::unique_ptr<Lazy::UnitLines>& lines = lazy_->units[unitIndex];
    if (!lines && !lazy_->unusable[unitIndex]) {
        try {
            auto indexed = std::make_unique<Lazy::UnitLines>();
            indexed->unit = ReadUnitHeader(lazy_->unitOffsets[unitIndex]);
            IndexUnit(indexed->unit, 0, indexed->sequences);
            SortWithReach(indexed->sequences, indexed->reach);
            indexed->fitsItsRanges = lazy_->FitsItsRanges(*indexed, unitIndex);
            lines = std::move(indexed);
        } catch (const DebugDataError&) {
            lazy_->unusable[unitIndex] = true;
        }
    }
    if (!lines) {
        return std::nullopt;
    }
    std::optional<Row> row = FindIn(
        lines->sequences, lines->reach, [&](std::size_t) -> const Unit& { return lines->unit; },
        address);
    // A unit whose code meets each of its ranges is the one they name: what it does not hold,
    // no other unit does. Otherwise the ranges do not fit the units, and the full index decides.
    decided = row || lines->fitsItsRanges;
    return row;
}

template <typename UnitOf>
std::optional<DwarfLineTable::Row> DwarfLineTable::FindIn(const std::vector<Sequence>& sequences,
                                                          const std::vector<std::uint64_t>& reach,
                                                          UnitOf&& unitOf,
                                                          std::uint64_t address) const {
    auto after = std::upper_bound(
        sequences.begin(), sequences.end(), address,
        [](std::uint64_t value, const Sequence& sequence) { return value < sequence.begin; });
    // Sequences may overlap; the nearest beginning is tried first, and no earlier one once
    // none of them reaches this far.
    while (after != sequences.begin()) {
        --after;
        if (reach[static_cast<std::size_t>(after - sequences.begin())] <= address) {
            break;
        }
        if (address >= after->end) {
            continue;
        }
        const Unit& unit = unitOf(after->unit);
        DwarfCursor program(sections_.line, after->program, unit.programEnd);
        bool decided = false;
        std::optional<State> covering;
        std::optional<State> candidate;
        try {
            RunSequence(unit, program, [&](const State& row, bool endOfSequence) {
                if (decided) {
                    return;
                }
                if (row.address > address) {
                    decided = true;
                    covering = candidate;
                } else {
                    candidate = endOfSequence ? std::nullopt : std::optional<State>(row);
                }
            });
        } catch (const DebugDataError&) {
            // A lookup on the report path never throws; these bytes ran cleanly when the
            // table was built.
            continue;
        }
        if (!covering) {
            continue;
        }
        Row found;
        if (covering->file < unit.files.size()) {
            found.file = unit.files[static_cast<std::size_t>(covering->file)];
        }
        if (covering->line <= 0xffffffffu) {
            found.line = static_cast<std::uint32_t>(covering->line);
        }
        return found;
    }
    return std::nullopt;
}

} // namespace faulttrap
