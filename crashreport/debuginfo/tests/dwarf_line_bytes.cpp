#include "crashreport/debuginfo/tests/dwarf_line_bytes.h"

namespace faulttrap::testing_bytes {

void AppendUleb(std::vector<std::uint8_t>& out, std::uint64_t value) {
    do {
        std::uint8_t byte = value & 0x7f;
        value >>= 7;
        if (value != 0) {
            byte |= 0x80;
        }
        out.push_back(byte);
    } while (value != 0);
}

void AppendSleb(std::vector<std::uint8_t>& out, std::int64_t value) {
    for (;;) {
        const std::uint8_t byte = value & 0x7f;
        value >>= 7;
        if ((value == 0 && !(byte & 0x40)) || (value == -1 && (byte & 0x40))) {
            out.push_back(byte);
            return;
        }
        out.push_back(byte | 0x80);
    }
}

namespace {

void AppendNumber(std::vector<std::uint8_t>& out, std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i) {
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

void AppendString(std::vector<std::uint8_t>& out, const std::string& text) {
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
}

// A DWARF 5 directory or file table: one entry format per content, then the entries.
void AppendEntries(std::vector<std::uint8_t>& out, std::vector<std::uint8_t>& lineStr,
                   const LineUnit& unit, const std::vector<std::string>& names, bool files) {
    out.push_back(files ? 2 : 1);
    AppendUleb(out, 1); // the path
    AppendUleb(out, files ? unit.pathForm : 0x1f);
    if (files) {
        AppendUleb(out, 2);    // the directory index
        AppendUleb(out, 0x0f); // udata
    }
    AppendUleb(out, files && unit.fileCountOverride ? unit.fileCountOverride : names.size());
    const int offsetSize = unit.dwarf64 ? 8 : 4;
    for (const std::string& name : names) {
        const std::uint64_t offset = unit.nameOffsetBeyond && files ? 1u << 20 : lineStr.size();
        AppendString(lineStr, name);
        if (files && unit.pathForm == 0x25) {
            out.push_back(0);
        } else {
            AppendNumber(out, offset, offsetSize);
        }
        if (files) {
            AppendUleb(out, 0);
        }
    }
}

} // namespace

void Program::SetAddress(std::uint64_t address) {
    bytes_.insert(bytes_.end(), {0, 9, 2});
    AppendNumber(bytes_, address, 8);
}

void Program::AdvancePc(std::uint64_t operations) {
    bytes_.push_back(2);
    AppendUleb(bytes_, operations);
}

void Program::AdvanceLine(std::int64_t lines) {
    bytes_.push_back(3);
    AppendSleb(bytes_, lines);
}

void Program::SetFile(std::uint64_t file) {
    bytes_.push_back(4);
    AppendUleb(bytes_, file);
}

void Program::FixedAdvancePc(std::uint16_t bytes) {
    bytes_.push_back(9);
    AppendNumber(bytes_, bytes, 2);
}

void Program::Special(unsigned addressAdvance, int lineAdvance) {
    bytes_.push_back(static_cast<std::uint8_t>(
        (lineAdvance - unit_.lineBase) + unit_.lineRange * addressAdvance + unit_.opcodeBase));
}

void Program::EndSequence() {
    bytes_.insert(bytes_.end(), {0, 1, 1});
}

Sections Encode(const std::vector<LineUnit>& units) {
    Sections sections;
    for (const LineUnit& unit : units) {
        const int offsetSize = unit.dwarf64 ? 8 : 4;
        std::vector<std::uint8_t> fields; // after the header length, up to the program
        fields.push_back(1);              // minimum instruction length
        if (unit.version >= 4) {
            fields.push_back(unit.maximumOperations);
        }
        fields.push_back(1); // default is_stmt
        fields.push_back(static_cast<std::uint8_t>(unit.lineBase));
        fields.push_back(unit.lineRange);
        fields.push_back(unit.opcodeBase);
        static const std::uint8_t lengths[] = {0, 1, 1, 1, 1, 0, 0, 0, 1, 0, 0, 1};
        for (int opcode = 1; opcode < unit.opcodeBase; ++opcode) {
            fields.push_back(opcode <= 12 ? lengths[opcode - 1] : 1);
        }
        if (unit.version >= 5) {
            AppendEntries(fields, sections.lineStr, unit, {"/src"}, false);
            std::vector<std::string> names = unit.files;
            if (!names.empty()) {
                names.insert(names.begin(), names.front()); // file 0 is the unit's own
            }
            AppendEntries(fields, sections.lineStr, unit, names, true);
        } else {
            AppendString(fields, "/src");
            fields.push_back(0);
            for (std::size_t i = 0; i < unit.files.size(); ++i) {
                fields.insert(fields.end(), unit.files[i].begin(), unit.files[i].end());
                if (unit.cutFileTable && i + 1 == unit.files.size()) {
                    break;
                }
                fields.insert(fields.end(), {0, 1, 0, 0});
            }
            if (!unit.cutFileTable) {
                fields.push_back(0);
            }
        }
        std::vector<std::uint8_t> afterLength;
        AppendNumber(afterLength, static_cast<std::uint64_t>(unit.version), 2);
        if (unit.version >= 5) {
            afterLength.insert(afterLength.end(), {8, 0});
        }
        AppendNumber(afterLength, fields.size(), offsetSize);
        afterLength.insert(afterLength.end(), fields.begin(), fields.end());
        afterLength.insert(afterLength.end(), unit.program.begin(), unit.program.end());
        if (unit.dwarf64) {
            AppendNumber(sections.line, 0xffffffff, 4);
            AppendNumber(sections.line, afterLength.size(), 8);
        } else {
            AppendNumber(sections.line, afterLength.size(), 4);
        }
        sections.line.insert(sections.line.end(), afterLength.begin(), afterLength.end());
    }
    return sections;
}

std::vector<std::uint8_t> EncodeAddressSets(const std::vector<AddressSet>& sets) {
    std::vector<std::uint8_t> out;
    for (const AddressSet& set : sets) {
        const int offsetSize = set.dwarf64 ? 8 : 4;
        const std::size_t lengthSize = set.dwarf64 ? 12 : 4;
        std::vector<std::uint8_t> afterLength;
        AppendNumber(afterLength, set.version, 2);
        AppendNumber(afterLength, set.unitOffset, offsetSize);
        afterLength.insert(afterLength.end(), {8, set.segmentSelectorSize});
        // The tuples start at a multiple of 16 bytes from the set's beginning.
        while ((lengthSize + afterLength.size()) % 16 != 0) {
            afterLength.push_back(0);
        }
        for (const auto& [address, length] : set.ranges) {
            AppendNumber(afterLength, address, 8);
            AppendNumber(afterLength, length, 8);
        }
        AppendNumber(afterLength, 0, 8);
        AppendNumber(afterLength, 0, 8);
        if (set.dwarf64) {
            AppendNumber(out, 0xffffffff, 4);
            AppendNumber(out, afterLength.size(), 8);
        } else {
            AppendNumber(out, afterLength.size(), 4);
        }
        out.insert(out.end(), afterLength.begin(), afterLength.end());
    }
    return out;
}

} // namespace faulttrap::testing_bytes
