#include "tools/faulttrap/dwarf_collector.h"

#include "crashreport/debuginfo/own_units.h"

#include <dwarf.h>
#include <elfutils/libdw.h>
#include <fcntl.h>
#include <gelf.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <unordered_map>

namespace faulttrap {

namespace {

std::string WithoutFolder(const char* path) {
    const char* slash = std::strrchr(path, '/');
    return slash ? slash + 1 : path;
}

class DwarfFile {
public:
    explicit DwarfFile(const std::string& path) {
        fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd_ < 0) {
            throw std::runtime_error(path + ": " + std::strerror(errno));
        }
        dwarf_ = dwarf_begin(fd_, DWARF_C_READ);
    }
    ~DwarfFile() {
        if (dwarf_) {
            dwarf_end(dwarf_);
        }
        ::close(fd_);
    }
    DwarfFile(const DwarfFile&) = delete;
    DwarfFile& operator=(const DwarfFile&) = delete;
    Dwarf* Get() const { return dwarf_; }

private:
    int fd_ = -1;
    Dwarf* dwarf_ = nullptr;
};

bool IsStatement(Dwarf_Line* row) {
    bool statement = false;
    return dwarf_linebeginstatement(row, &statement) == 0 && statement;
}

// libdw sorts a unit's rows by address, and a sequence's end row may come before an
// ordinary row at that same address; so a span never runs past the first sequence end at
// or after its start.
void CollectLines(Dwarf_Die* unit, ProgramDebugData& data) {
    Dwarf_Lines* lines = nullptr;
    std::size_t count = 0;
    if (dwarf_getsrclines(unit, &lines, &count) != 0) {
        return;
    }
    std::vector<Dwarf_Addr> sequenceEnds;
    for (std::size_t i = 0; i < count; ++i) {
        bool endsSequence = false;
        Dwarf_Addr address = 0;
        Dwarf_Line* row = dwarf_onesrcline(lines, i);
        if (dwarf_lineendsequence(row, &endsSequence) == 0 && endsSequence &&
            dwarf_lineaddr(row, &address) == 0) {
            sequenceEnds.push_back(address);
        }
    }
    std::sort(sequenceEnds.begin(), sequenceEnds.end());
    for (std::size_t i = 0; i + 1 < count; ++i) {
        Dwarf_Line* row = dwarf_onesrcline(lines, i);
        Dwarf_Line* next = dwarf_onesrcline(lines, i + 1);
        bool endsSequence = false;
        Dwarf_Addr begin = 0;
        Dwarf_Addr end = 0;
        int line = 0;
        if (dwarf_lineendsequence(row, &endsSequence) != 0 || endsSequence ||
            dwarf_lineaddr(row, &begin) != 0 || dwarf_lineaddr(next, &end) != 0 ||
            dwarf_lineno(row, &line) != 0 || line <= 0) {
            continue;
        }
        const auto sequenceEnd = std::lower_bound(sequenceEnds.begin(), sequenceEnds.end(), begin);
        if (sequenceEnd != sequenceEnds.end()) {
            end = std::min(end, *sequenceEnd);
        }
        if (end <= begin) {
            continue;
        }
        // Of the rows at one address the last counts; when it does not start a statement, the
        // last one of its file there that does, as a debugger reads it (rows of other files
        // at that address belong to inlined code that has already ended).
        const char* lastFile = dwarf_linesrc(row, nullptr, nullptr);
        for (std::size_t before = i; lastFile && !IsStatement(row) && before-- > 0;) {
            Dwarf_Line* earlier = dwarf_onesrcline(lines, before);
            Dwarf_Addr address = 0;
            int earlierLine = 0;
            if (dwarf_lineaddr(earlier, &address) != 0 || address != begin ||
                dwarf_lineno(earlier, &earlierLine) != 0 || earlierLine <= 0) {
                break;
            }
            const char* earlierFile = dwarf_linesrc(earlier, nullptr, nullptr);
            if (IsStatement(earlier) && earlierFile && std::strcmp(earlierFile, lastFile) == 0) {
                row = earlier;
                line = earlierLine;
            }
        }
        const char* file = dwarf_linesrc(row, nullptr, nullptr);
        data.lines.push_back(
            {begin, end, file ? WithoutFolder(file) : "", static_cast<std::uint32_t>(line)});
    }
}

// Walks the DIE tree once, noting the enclosing scopes of every function DIE (a
// definition's name and class live on the declaration it refers to) and which functions
// have code.
class FunctionWalker {
public:
    void Walk(Dwarf_Die* first, const std::string& scope) {
        Dwarf_Die die = *first;
        do {
            Visit(&die, scope);
        } while (dwarf_siblingof(&die, &die) == 0);
    }

    void Resolve(Dwarf* dwarf, ProgramDebugData& data) const {
        for (const Dwarf_Off offset : concrete_) {
            Dwarf_Die die;
            if (!dwarf_offdie(dwarf, offset, &die)) {
                continue;
            }
            Dwarf_Attribute attribute;
            const char* name = dwarf_formstring(dwarf_attr_integrate(&die, DW_AT_name, &attribute));
            if (!name) {
                continue;
            }
            const std::string qualifier = QualifierOf(die);
            for (const auto& [begin, end] : RangesOf(&die)) {
                data.functions.push_back({begin, end, qualifier, name});
            }
            CollectInlinedCalls(&die, qualifier, name, data);
        }
    }

private:
    static std::vector<std::pair<Dwarf_Addr, Dwarf_Addr>> RangesOf(Dwarf_Die* die) {
        std::vector<std::pair<Dwarf_Addr, Dwarf_Addr>> ranges;
        Dwarf_Addr base = 0;
        Dwarf_Addr begin = 0;
        Dwarf_Addr end = 0;
        for (ptrdiff_t next = 0; (next = dwarf_ranges(die, next, &base, &begin, &end)) > 0;) {
            if (end > begin) {
                ranges.emplace_back(begin, end);
            }
        }
        return ranges;
    }

    static std::string DeclarationFile(Dwarf_Die* die) {
        const char* file = dwarf_decl_file(die);
        return file ? WithoutFolder(file) : "";
    }

    static std::uint32_t DeclarationLine(Dwarf_Die* die) {
        int line = 0;
        return dwarf_decl_line(die, &line) == 0 && line > 0 ? static_cast<std::uint32_t>(line) : 0;
    }

    std::string QualifierOf(Dwarf_Die die) const {
        const auto found = scopes_.find(DeclarationOf(die));
        return found == scopes_.end() ? std::string() : found->second;
    }

    // The inlined calls within an out-of-line function, with the function's own ranges at
    // depth 0 when there are any.
    void CollectInlinedCalls(Dwarf_Die* function, const std::string& qualifier, const char* name,
                             ProgramDebugData& data) const {
        // The library's own functions never show in a call stack, whatever was inlined
        // into them: their inlined calls are not stored.
        if (IsOwnUnit(DeclarationFile(function))) {
            return;
        }
        const std::size_t first = data.inlinedCalls.size();
        Dwarf_Die unit;
        Dwarf_Files* files = nullptr;
        std::size_t fileCount = 0;
        if (!dwarf_diecu(function, &unit, nullptr, nullptr) ||
            dwarf_getsrcfiles(&unit, &files, &fileCount) != 0) {
            return;
        }
        CollectInlinedCallsWithin(function, 1, files, data);
        if (data.inlinedCalls.size() == first) {
            return;
        }
        const std::uint32_t firstLine = DeclarationLine(function);
        for (const auto& [begin, end] : RangesOf(function)) {
            data.inlinedCalls.push_back(
                {begin, end, 0, qualifier, name, firstLine, DeclarationFile(function), {}, 0});
        }
    }

    void CollectInlinedCallsWithin(Dwarf_Die* scope, std::uint32_t depth, Dwarf_Files* files,
                                   ProgramDebugData& data) const {
        Dwarf_Die child;
        if (dwarf_child(scope, &child) != 0) {
            return;
        }
        do {
            const int tag = dwarf_tag(&child);
            if (tag == DW_TAG_lexical_block) {
                CollectInlinedCallsWithin(&child, depth, files, data);
            } else if (tag == DW_TAG_inlined_subroutine) {
                AddInlinedCall(&child, depth, files, data);
                CollectInlinedCallsWithin(&child, depth + 1, files, data);
            }
        } while (dwarf_siblingof(&child, &child) == 0);
    }

    void AddInlinedCall(Dwarf_Die* call, std::uint32_t depth, Dwarf_Files* files,
                        ProgramDebugData& data) const {
        Dwarf_Attribute attribute;
        const char* name = dwarf_formstring(dwarf_attr_integrate(call, DW_AT_name, &attribute));
        Dwarf_Word fileIndex = 0;
        Dwarf_Word line = 0;
        if (!name || dwarf_formudata(dwarf_attr(call, DW_AT_call_file, &attribute), &fileIndex) ||
            dwarf_formudata(dwarf_attr(call, DW_AT_call_line, &attribute), &line) || line == 0) {
            return;
        }
        const char* file = dwarf_filesrc(files, fileIndex, nullptr, nullptr);
        const std::string qualifier = QualifierOf(*call);
        const std::uint32_t firstLine = DeclarationLine(call);
        const std::string declaredIn = DeclarationFile(call);
        for (const auto& [begin, end] : RangesOf(call)) {
            data.inlinedCalls.push_back({begin, end, depth, qualifier, name, firstLine, declaredIn,
                                         file ? WithoutFolder(file) : "",
                                         static_cast<std::uint32_t>(line)});
        }
    }

    static bool HasCode(Dwarf_Die* die) {
        Dwarf_Addr base = 0;
        Dwarf_Addr begin = 0;
        Dwarf_Addr end = 0;
        return dwarf_ranges(die, 0, &base, &begin, &end) > 0;
    }

    static std::string Nested(const std::string& scope, const char* name) {
        return scope.empty() ? name : scope + "::" + name;
    }

    Dwarf_Off DeclarationOf(Dwarf_Die die) const {
        for (int hops = 0; hops < 8; ++hops) {
            Dwarf_Attribute attribute;
            Dwarf_Die target;
            if (!dwarf_attr(&die, DW_AT_specification, &attribute) &&
                !dwarf_attr(&die, DW_AT_abstract_origin, &attribute)) {
                break;
            }
            if (!dwarf_formref_die(&attribute, &target) ||
                !scopes_.contains(dwarf_dieoffset(&target))) {
                break;
            }
            die = target;
        }
        return dwarf_dieoffset(&die);
    }

    void Visit(Dwarf_Die* die, const std::string& scope) {
        const char* name = dwarf_diename(die);
        Dwarf_Die child;
        switch (dwarf_tag(die)) {
        case DW_TAG_namespace:
            if (dwarf_child(die, &child) == 0) {
                Walk(&child, Nested(scope, name ? name : "(anonymous namespace)"));
            }
            break;
        case DW_TAG_class_type:
        case DW_TAG_structure_type:
        case DW_TAG_union_type:
            if (dwarf_child(die, &child) == 0) {
                Walk(&child, Nested(scope, name ? name : "<anonymous>"));
            }
            break;
        case DW_TAG_subprogram:
            scopes_[dwarf_dieoffset(die)] = scope;
            if (HasCode(die)) {
                concrete_.push_back(dwarf_dieoffset(die));
            }
            if (dwarf_child(die, &child) == 0) {
                Walk(&child, name ? Nested(scope, name) : scope);
            }
            break;
        case DW_TAG_lexical_block:
            if (dwarf_child(die, &child) == 0) {
                Walk(&child, scope);
            }
            break;
        default:
            break;
        }
    }

    std::unordered_map<Dwarf_Off, std::string> scopes_;
    std::vector<Dwarf_Off> concrete_;
};

// Code ranges of the sections that hold code. Line rows and functions of code that the
// linker discarded (duplicate inline functions, unused sections) point outside them,
// mostly at address 0, and are dropped.
std::vector<std::pair<Dwarf_Addr, Dwarf_Addr>> CodeSections(Elf* elf) {
    std::vector<std::pair<Dwarf_Addr, Dwarf_Addr>> sections;
    for (Elf_Scn* scn = elf_nextscn(elf, nullptr); scn; scn = elf_nextscn(elf, scn)) {
        GElf_Shdr header;
        if (gelf_getshdr(scn, &header) && (header.sh_flags & SHF_EXECINSTR) &&
            (header.sh_flags & SHF_ALLOC)) {
            sections.emplace_back(header.sh_addr, header.sh_addr + header.sh_size);
        }
    }
    return sections;
}

template <typename Span>
void KeepCode(std::vector<Span>& spans,
              const std::vector<std::pair<Dwarf_Addr, Dwarf_Addr>>& sections) {
    std::erase_if(spans, [&](const Span& span) {
        return std::none_of(sections.begin(), sections.end(), [&](const auto& section) {
            return span.begin >= section.first && span.end <= section.second;
        });
    });
}

} // namespace

ProgramDebugData CollectDwarf(const std::string& path) {
    const DwarfFile file(path);
    ProgramDebugData data;
    if (!file.Get()) {
        return data;
    }
    FunctionWalker walker;
    Dwarf_CU* unitCursor = nullptr;
    Dwarf_Die unit;
    while (dwarf_get_units(file.Get(), unitCursor, &unitCursor, nullptr, nullptr, &unit, nullptr) ==
           0) {
        if (dwarf_tag(&unit) != DW_TAG_compile_unit) {
            continue;
        }
        CollectLines(&unit, data);
        Dwarf_Die child;
        if (dwarf_child(&unit, &child) == 0) {
            walker.Walk(&child, "");
        }
    }
    walker.Resolve(file.Get(), data);
    const auto sections = CodeSections(dwarf_getelf(file.Get()));
    KeepCode(data.lines, sections);
    KeepCode(data.functions, sections);
    KeepCode(data.inlinedCalls, sections);
    return data;
}

} // namespace faulttrap
