#include "debuginfo/dwarf_line_table.h"

#include "debuginfo/debug_data_error.h"
#include "debuginfo/dwarf_cursor.h"

#include <algorithm>
#include <cstdio>
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

std::string hex(std::uint64_t value) {
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
std::string_view readEntryValue(DwarfCursor& cursor, std::uint64_t form, std::size_t offsetSize,
                                const DwarfLineSections& sections) {
    switch (form) {
    case formString:
        return cursor.cString("an entry's name");
    case formLineStrp:
        return dwarfStringAt(sections.lineStr, cursor.unsignedOfSize(offsetSize, "a name offset"),
                             ".debug_line_str");
    case formStrp:
        return dwarfStringAt(sections.str, cursor.unsignedOfSize(offsetSize, "a name offset"),
                             ".debug_str");
    case formData1:
    case formFlag:
        cursor.skip(1, "an entry");
        return {};
    case formData2:
        cursor.skip(2, "an entry");
        return {};
    case formData4:
        cursor.skip(4, "an entry");
        return {};
    case formData8:
        cursor.skip(8, "an entry");
        return {};
    case formData16:
        cursor.skip(16, "an entry");
        return {};
    case formUdata:
        cursor.uleb("an entry");
        return {};
    case formSdata:
        cursor.sleb("an entry");
        return {};
    case formBlock1:
        cursor.skip(cursor.u8("a block's length"), "a block");
        return {};
    case formBlock2:
        cursor.skip(cursor.u16("a block's length"), "a block");
        return {};
    case formBlock4:
        cursor.skip(cursor.u32("a block's length"), "a block");
        return {};
    case formBlock:
        cursor.skip(cursor.uleb("a block's length"), "a block");
        return {};
    default:
        throw DebugDataError("the entry form " + hex(form) + " is not supported");
    }
}

bool isStringForm(std::uint64_t form) {
    return form == formString || form == formLineStrp || form == formStrp;
}

// A DWARF 5 table of directories or files: its entry formats, then its entries. The paths,
// in order, when `paths` is given.
void readEntryTable(DwarfCursor& cursor, std::size_t offsetSize, const DwarfLineSections& sections,
                    std::vector<std::string_view>* paths) {
    const std::uint8_t formatCount = cursor.u8("the entry format count");
    std::vector<EntryFormat> formats(formatCount);
    for (EntryFormat& format : formats) {
        format.content = cursor.uleb("an entry format");
        format.form = cursor.uleb("an entry format");
        if (format.content == lnctPath && !isStringForm(format.form))
            throw DebugDataError("a path of the form " + hex(format.form) +
                                 ", which is not a string");
    }
    const std::uint64_t count = cursor.uleb("the entry count");
    // Every supported form takes at least one byte, so a count above the bytes left is false.
    if (count != 0 && (formats.empty() || count > cursor.remaining()))
        throw DebugDataError("an entry count of " + std::to_string(count) +
                             " that the header cannot hold");
    for (std::uint64_t i = 0; i < count; ++i) {
        std::string_view path;
        for (const EntryFormat& format : formats) {
            const std::string_view value =
                readEntryValue(cursor, format.form, offsetSize, sections);
            if (format.content == lnctPath)
                path = value;
        }
        if (paths)
            paths->push_back(path);
    }
}

// The DWARF 2-4 tables: directory names up to an empty one, then file entries (name,
// directory, time, size) up to an empty name. Files are numbered from 1.
void readOlderTables(DwarfCursor& cursor, std::vector<std::string_view>& files) {
    while (!cursor.cString("the directory table").empty()) {
    }
    files.emplace_back();
    for (;;) {
        const std::string_view name = cursor.cString("the file table");
        if (name.empty())
            return;
        cursor.uleb("a file's directory");
        cursor.uleb("a file's time");
        cursor.uleb("a file's size");
        files.push_back(name);
    }
}

} // namespace

DwarfLineTable::DwarfLineTable(DwarfLineSections sections) : sections_(sections) {
    DwarfCursor section(sections_.line, 0, sections_.line.size());
    while (!section.atLimit()) {
        const std::size_t offset = section.position();
        try {
            readUnit(section);
        } catch (const DebugDataError& error) {
            throw DebugDataError(".debug_line unit at " + hex(offset) + ": " + error.what());
        }
    }
    std::sort(sequences_.begin(), sequences_.end(),
              [](const Sequence& a, const Sequence& b) { return a.begin < b.begin; });
    reach_.reserve(sequences_.size());
    std::uint64_t reach = 0;
    for (const Sequence& sequence : sequences_)
        reach_.push_back(reach = std::max(reach, sequence.end));
}

DwarfLineTable::~DwarfLineTable() = default;
DwarfLineTable::DwarfLineTable(DwarfLineTable&&) noexcept = default;
DwarfLineTable& DwarfLineTable::operator=(DwarfLineTable&&) noexcept = default;

void DwarfLineTable::readUnit(DwarfCursor& section) {
    Unit unit;
    std::uint64_t length = section.u32("the unit length");
    if (length == 0xffffffff) {
        length = section.u64("the unit length");
        unit.offsetSize = 8;
    } else if (length >= 0xfffffff0) {
        throw DebugDataError("the reserved unit length " + hex(length));
    }
    if (length > section.remaining())
        throw DebugDataError("a unit length of " + std::to_string(length) +
                             " bytes, past the section's end");
    const std::size_t unitEnd = section.position() + static_cast<std::size_t>(length);
    DwarfCursor header(sections_.line, section.position(), unitEnd);
    section.skip(length, "the unit");

    unit.version = header.u16("the version");
    if (unit.version < 2 || unit.version > 5)
        throw DebugDataError("version " + std::to_string(unit.version) + " is not supported");
    if (unit.version >= 5) {
        header.u8("the address size");
        header.u8("the segment selector size");
    }
    const std::uint64_t headerLength = header.unsignedOfSize(unit.offsetSize, "the header length");
    if (headerLength > header.remaining())
        throw DebugDataError("a header length of " + std::to_string(headerLength) +
                             " bytes, past the unit's end");
    unit.programBegin = header.position() + static_cast<std::size_t>(headerLength);
    unit.programEnd = unitEnd;

    DwarfCursor fields(sections_.line, header.position(), unit.programBegin);
    unit.minimumInstructionLength = fields.u8("the minimum instruction length");
    if (unit.version >= 4)
        unit.maximumOperations = fields.u8("the maximum operations per instruction");
    if (unit.maximumOperations == 0)
        throw DebugDataError("a maximum of 0 operations per instruction");
    fields.u8("the default of is_stmt");
    unit.lineBase = static_cast<std::int8_t>(fields.u8("the line base"));
    unit.lineRange = fields.u8("the line range");
    if (unit.lineRange == 0)
        throw DebugDataError("a line range of 0");
    unit.opcodeBase = fields.u8("the opcode base");
    if (unit.opcodeBase == 0)
        throw DebugDataError("an opcode base of 0");
    for (int opcode = 1; opcode < unit.opcodeBase; ++opcode)
        unit.standardOpcodeLengths.push_back(fields.u8("the standard opcode lengths"));
    if (unit.version >= 5) {
        readEntryTable(fields, unit.offsetSize, sections_, nullptr);
        readEntryTable(fields, unit.offsetSize, sections_, &unit.files);
    } else {
        readOlderTables(fields, unit.files);
    }

    const std::size_t unitIndex = units_.size();
    DwarfCursor program(sections_.line, unit.programBegin, unit.programEnd);
    while (!program.atLimit()) {
        const std::size_t start = program.position();
        std::optional<std::uint64_t> first;
        std::uint64_t end = 0;
        const bool ended = runSequence(unit, program, [&](const State& row, bool endOfSequence) {
            if (!first)
                first = row.address;
            if (endOfSequence)
                end = row.address;
        });
        // A sequence at address 0 is code the linker discarded.
        if (ended && first && *first != 0 && *first < end)
            sequences_.push_back({*first, end, unitIndex, start});
    }
    units_.push_back(std::move(unit));
}

template <typename OnRow>
bool DwarfLineTable::runSequence(const Unit& unit, DwarfCursor& program, OnRow&& onRow) const {
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
    while (!program.atLimit()) {
        const std::uint8_t opcode = program.u8("an opcode");
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
            const std::uint64_t length = program.uleb("an extended opcode's length");
            if (length == 0)
                break;
            if (length > program.remaining())
                throw DebugDataError("an extended opcode longer than the unit");
            const std::size_t next = program.position() + static_cast<std::size_t>(length);
            const std::uint8_t extended = program.u8("an extended opcode");
            if (extended == lneEndSequence) {
                program.skip(next - program.position(), "an extended opcode");
                onRow(state, true);
                return true;
            }
            if (extended == lneSetAddress) {
                state.address =
                    program.unsignedOfSize(static_cast<std::size_t>(length - 1), "an address");
                state.operationIndex = 0;
            }
            program.skip(next - program.position(), "an extended opcode");
            break;
        }
        case lnsCopy:
            onRow(state, false);
            break;
        case lnsAdvancePc:
            advance(program.uleb("an address advance"));
            break;
        case lnsAdvanceLine:
            state.line += static_cast<std::uint64_t>(program.sleb("a line advance"));
            break;
        case lnsSetFile:
            state.file = program.uleb("a file number");
            break;
        case lnsSetColumn:
            program.uleb("a column");
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
            state.address += program.u16("an address advance");
            state.operationIndex = 0;
            break;
        case lnsSetIsa:
            program.uleb("an instruction set");
            break;
        default:
            // An opcode this reader does not know: the header says how many numbers follow.
            for (unsigned i = 0; i < unit.standardOpcodeLengths[opcode - 1u]; ++i)
                program.uleb("an unknown opcode's operand");
            break;
        }
    }
    return false;
}

std::optional<DwarfLineTable::Row> DwarfLineTable::find(std::uint64_t address) const {
    auto after = std::upper_bound(
        sequences_.begin(), sequences_.end(), address,
        [](std::uint64_t value, const Sequence& sequence) { return value < sequence.begin; });
    // Sequences may overlap; the nearest beginning is tried first, and no earlier one once
    // none of them reaches this far.
    while (after != sequences_.begin()) {
        --after;
        if (reach_[static_cast<std::size_t>(after - sequences_.begin())] <= address)
            break;
        if (address >= after->end)
            continue;
        const Unit& unit = units_[after->unit];
        DwarfCursor program(sections_.line, after->program, unit.programEnd);
        bool decided = false;
        std::optional<State> covering;
        std::optional<State> candidate;
        try {
            runSequence(unit, program, [&](const State& row, bool endOfSequence) {
                if (decided)
                    return;
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
        if (!covering)
            continue;
        Row found;
        if (covering->file < unit.files.size())
            found.file = unit.files[static_cast<std::size_t>(covering->file)];
        if (covering->line <= 0xffffffffu)
            found.line = static_cast<std::uint32_t>(covering->line);
        return found;
    }
    return std::nullopt;
}

} // namespace faulttrap
