#include "crashreport/debuginfo/dwarf_source.h"

#include "crashreport/debuginfo/cxx_names.h"
#include "crashreport/debuginfo/debug_data_error.h"
#include "crashreport/debuginfo/dwarf_inline_scopes.h"
#include "crashreport/debuginfo/dwarf_library.h"
#include "crashreport/debuginfo/dwarf_line_table.h"
#include "crashreport/debuginfo/dwarf_section.h"
#include "crashreport/debuginfo/dwarf_statement_line.h"
#include "crashreport/debuginfo/elf_function_symbols.h"
#include "crashreport/debuginfo/elf_image.h"
#include "crashreport/debuginfo/local_debuginfo.h"
#include "crashreport/debuginfo/separate_debug_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace faulttrap {

namespace {

char* debugInfoPath = nullptr;

const Dwfl_Callbacks& CallbacksOf(const DwarfLibrary& dw) {
    static const Dwfl_Callbacks callbacks = {
        dw.buildIdFindElf,
        // Local files only: DEBUGINFOD_URLS has no effect on a report.
        FindLocalDebugInfo,
        dw.offlineSectionAddress,
        &debugInfoPath,
    };
    return callbacks;
}

std::string WithoutFolder(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::vector<std::uint8_t> SectionOrNothing(const ElfImage& file, std::string_view name) {
    std::optional<DwarfSection> section = ReadDwarfSection(file, name);
    return section ? std::move(section->bytes) : std::vector<std::uint8_t>();
}

int BindingRank(unsigned binding) {
    return binding == STB_GLOBAL ? 0 : binding == STB_WEAK ? 1 : 2;
}

} // namespace

struct DwarfSource::OwnLines {
    std::vector<std::uint8_t> line;
    std::vector<std::uint8_t> lineStr;
    std::vector<std::uint8_t> str;
    std::vector<std::uint8_t> aranges;
    std::optional<DwarfLineTable> table;
};

DwarfSource::DwarfSource() = default;

std::unique_ptr<DwarfSource> DwarfSource::OpenCompressed(const std::string& path) {
    const ElfImage module(path);
    std::optional<ElfImage> separate;
    const ElfImage* dwarfFile = &module;
    if (!module.Find(".debug_line") && !module.Find(".zdebug_line")) {
        const std::string debugPath = FindSeparateDebugFile(module, path);
        if (debugPath.empty()) {
            return nullptr;
        }
        dwarfFile = &separate.emplace(debugPath);
    }
    // Uncompressed DWARF libdw reads in place, as cheaply as we would.
    if (!HasCompressedDwarfSection(*dwarfFile, ".debug_line")) {
        return nullptr;
    }
    auto lines = std::make_unique<OwnLines>();
    lines->line = SectionOrNothing(*dwarfFile, ".debug_line");
    lines->lineStr = SectionOrNothing(*dwarfFile, ".debug_line_str");
    lines->str = SectionOrNothing(*dwarfFile, ".debug_str");
    lines->aranges = SectionOrNothing(*dwarfFile, ".debug_aranges");
    lines->table.emplace(
        DwarfLineSections{lines->line, lines->lineStr, lines->str, lines->aranges});

    std::unique_ptr<DwarfSource> source(new DwarfSource());
    source->ownLines_ = std::move(lines);
    // The debug file's full symbol table; else the module's own, else its exports.
    std::vector<ElfFunctionSymbol> symbols = ReadFunctionSymbols(*dwarfFile, SHT_SYMTAB);
    if (symbols.empty()) {
        symbols = ReadFunctionSymbols(module, SHT_SYMTAB);
    }
    if (symbols.empty()) {
        symbols = ReadFunctionSymbols(module, SHT_DYNSYM);
    }
    for (const ElfFunctionSymbol& symbol : symbols) {
        source->functions_.push_back({symbol.address,
                                      symbol.address + std::max<std::uint64_t>(symbol.size, 1),
                                      std::string(symbol.name), BindingRank(symbol.binding)});
    }
    source->SortFunctions();
    return source;
}

std::unique_ptr<DwarfSource> DwarfSource::Open(const std::string& path, std::string* problem) {
    try {
        if (auto source = OpenCompressed(path)) {
            return source;
        }
    } catch (const DebugDataError& error) {
        if (problem) {
            *problem = error.what();
        }
    }
    const DwarfLibrary* dw = LoadedDwarfLibrary();
    if (!dw) {
        return nullptr;
    }
    std::unique_ptr<DwarfSource> source(new DwarfSource());
    source->dw_ = dw;
    source->session_ = dw->begin(&CallbacksOf(*dw));
    if (!source->session_) {
        return nullptr;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    dw->reportBegin(source->session_);
    // libdw owns the descriptor from here on.
    source->module_ = dw->reportElf(source->session_, path.c_str(), path.c_str(), fd, 0, false);
    dw->reportEnd(source->session_, nullptr, nullptr);
    Dwarf_Addr bias = 0;
    if (!source->module_ || !dw->moduleGetDwarf(source->module_, &bias)) {
        return nullptr;
    }
    source->ReadFunctions();
    return source;
}

DwarfSource::~DwarfSource() {
    if (session_) {
        dw_->end(session_);
    }
}

void DwarfSource::ReadFunctions() {
    const int count = dw_->moduleGetSymtab(module_);
    for (int i = 0; i < count; ++i) {
        GElf_Sym symbol;
        GElf_Addr address = 0;
        const char* name =
            dw_->moduleGetSymInfo(module_, i, &symbol, &address, nullptr, nullptr, nullptr);
        if (name && *name && GELF_ST_TYPE(symbol.st_info) == STT_FUNC && symbol.st_shndx != 0) {
            functions_.push_back({address, address + std::max<GElf_Xword>(symbol.st_size, 1), name,
                                  BindingRank(GELF_ST_BIND(symbol.st_info))});
        }
    }
    SortFunctions();
}

void DwarfSource::SortFunctions() {
    // Aliases of one address: the global name first, it is the one the source uses.
    std::stable_sort(functions_.begin(), functions_.end(),
                     [](const Function& a, const Function& b) {
                         return a.begin != b.begin ? a.begin < b.begin : a.rank < b.rank;
                     });
}

std::optional<std::uint32_t> DwarfSource::LineAt(std::uint64_t fileAddress,
                                                 std::string* file) const {
    if (ownLines_) {
        const std::optional<DwarfLineTable::Row> row = ownLines_->table->Find(fileAddress);
        if (!row || row->line == 0) {
            return std::nullopt;
        }
        if (file) {
            *file = WithoutFolder(row->file);
        }
        return row->line;
    }
    Dwfl_Line* row = dw_->moduleGetSrc(module_, fileAddress);
    int line = 0;
    const char* source = nullptr;
    if (!row || !StatementLineOf(*dw_, module_, row, &source, &line)) {
        return std::nullopt;
    }
    if (file && source) {
        *file = WithoutFolder(source);
    }
    return line > 0 ? std::optional<std::uint32_t>(static_cast<std::uint32_t>(line)) : std::nullopt;
}

std::optional<SourcePlace> DwarfSource::Find(std::uint64_t fileAddress) const {
    const auto after =
        std::upper_bound(functions_.begin(), functions_.end(), fileAddress,
                         [](std::uint64_t value, const Function& f) { return value < f.begin; });
    SourcePlace place;
    std::optional<std::uint64_t> functionStart;
    if (after != functions_.begin()) {
        // Among aliases starting at one address the first listed is kept.
        auto found = std::prev(after);
        while (found != functions_.begin() && std::prev(found)->begin == found->begin) {
            --found;
        }
        if (fileAddress < found->end) {
            const QualifiedName name = SplitFunctionName(found->symbol);
            place.className = name.className;
            place.procedure = name.procedure;
            functionStart = found->begin;
        }
    }
    const std::optional<std::uint32_t> line = LineAt(fileAddress, &place.unit);
    if (!line && place.procedure.empty()) {
        return std::nullopt;
    }
    place.line = line.value_or(0);
    if (line && functionStart) {
        if (const auto first = LineAt(*functionStart, nullptr); first && *first < *line) {
            place.lineOffset = *line - *first;
        }
    }
    return place;
}

std::vector<InlinedScope> DwarfSource::InlinedScopesAt(std::uint64_t fileAddress) const {
    // A module read by the own line-table reader has no libdw session: its calls are told by
    // the symbol table alone.
    if (ownLines_) {
        return {};
    }
    return InlinedScopesFromDwarf(*dw_, module_, fileAddress);
}

} // namespace faulttrap
