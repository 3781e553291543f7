#include "crashreport/debuginfo/dwarf_statement_line.h"

#include "crashreport/debuginfo/dwarf_library.h"

#include <cstring>

namespace faulttrap {

namespace {

bool IsStatement(const DwarfLibrary& dw, Dwarf_Line* row) {
    bool statement = false;
    return dw.lineBeginStatement(row, &statement) == 0 && statement;
}

bool EndsSequence(const DwarfLibrary& dw, Dwarf_Line* row) {
    bool ends = false;
    return dw.lineEndSequence(row, &ends) == 0 && ends;
}

} // namespace

bool StatementLineOf(const DwarfLibrary& dw, Dwfl_Module* module, Dwfl_Line* row, const char** file,
                     int* line) {
    Dwarf_Addr address = 0;
    *file = dw.lineInfo(row, &address, line, nullptr, nullptr, nullptr);
    if (*line <= 0) {
        return false;
    }
    Dwarf_Addr bias = 0;
    Dwarf_Die* unit = dw.moduleAddrDie(module, address, &bias);
    Dwarf_Lines* lines = nullptr;
    std::size_t count = 0;
    if (!unit || dw.getSrcLines(unit, &lines, &count) != 0) {
        return true;
    }
    const Dwarf_Addr wanted = address - bias;
    const auto addressOf = [&](std::size_t index) {
        Dwarf_Addr at = 0;
        return dw.lineAddr(dw.oneSrcLine(lines, index), &at) == 0 ? at : Dwarf_Addr{0};
    };
    // The rows are sorted by address: the first one after the wanted address, then back.
    std::size_t low = 0;
    std::size_t high = count;
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (addressOf(middle) <= wanted) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    Dwarf_Line* chosen = nullptr;
    const char* chosenFile = nullptr;
    for (std::size_t index = low; index-- > 0 && addressOf(index) == wanted;) {
        Dwarf_Line* candidate = dw.oneSrcLine(lines, index);
        int candidateLine = 0;
        const char* candidateFile = dw.lineSrc(candidate, nullptr, nullptr);
        if (EndsSequence(dw, candidate) || dw.lineNo(candidate, &candidateLine) != 0 ||
            candidateLine <= 0 || !candidateFile) {
            continue;
        }
        if (!chosen) {
            chosen = candidate;
            chosenFile = candidateFile;
        }
        if (IsStatement(dw, candidate) && std::strcmp(candidateFile, chosenFile) == 0) {
            chosen = candidate;
            break;
        }
    }
    if (!chosen) {
        return true;
    }
    *file = chosenFile;
    dw.lineNo(chosen, line);
    return true;
}

} // namespace faulttrap
