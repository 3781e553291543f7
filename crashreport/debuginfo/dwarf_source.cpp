#include "debuginfo/dwarf_source.h"

#include "debuginfo/cxx_names.h"
#include "debuginfo/dwarf_inline_scopes.h"
#include "debuginfo/dwarf_library.h"
#include "debuginfo/dwarf_statement_line.h"
#include "debuginfo/local_debuginfo.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace faulttrap {

namespace {

char* debugInfoPath = nullptr;

const Dwfl_Callbacks& callbacksOf(const DwarfLibrary& dw) {
    static const Dwfl_Callbacks callbacks = {
        dw.buildIdFindElf,
        // Local files only: DEBUGINFOD_URLS has no effect on a report.
        FindLocalDebugInfo,
        dw.offlineSectionAddress,
        &debugInfoPath,
    };
    return callbacks;
}

std::string withoutFolder(const char* path) {
    const char* slash = std::strrchr(path, '/');
    return slash ? slash + 1 : path;
}

int bindingRank(unsigned binding) {
    return binding == STB_GLOBAL ? 0 : binding == STB_WEAK ? 1 : 2;
}

} // namespace

std::unique_ptr<DwarfSource> DwarfSource::open(const std::string& path) {
    const DwarfLibrary* dw = LoadedDwarfLibrary();
    if (!dw)
        return nullptr;
    std::unique_ptr<DwarfSource> source(new DwarfSource(*dw));
    source->session_ = dw->begin(&callbacksOf(*dw));
    if (!source->session_)
        return nullptr;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    dw->reportBegin(source->session_);
    // libdw owns the descriptor from here on.
    source->module_ = dw->reportElf(source->session_, path.c_str(), path.c_str(), fd, 0, false);
    dw->reportEnd(source->session_, nullptr, nullptr);
    Dwarf_Addr bias = 0;
    if (!source->module_ || !dw->moduleGetDwarf(source->module_, &bias))
        return nullptr;
    source->readFunctions();
    return source;
}

DwarfSource::~DwarfSource() {
    if (session_)
        dw_.end(session_);
}

void DwarfSource::readFunctions() {
    const int count = dw_.moduleGetSymtab(module_);
    for (int i = 0; i < count; ++i) {
        GElf_Sym symbol;
        GElf_Addr address = 0;
        const char* name =
            dw_.moduleGetSymInfo(module_, i, &symbol, &address, nullptr, nullptr, nullptr);
        if (name && *name && GELF_ST_TYPE(symbol.st_info) == STT_FUNC && symbol.st_shndx != 0)
            functions_.push_back({address, address + std::max<GElf_Xword>(symbol.st_size, 1), name,
                                  bindingRank(GELF_ST_BIND(symbol.st_info))});
    }
    // Aliases of one address: the global name first, it is the one the source uses.
    std::stable_sort(functions_.begin(), functions_.end(),
                     [](const Function& a, const Function& b) {
                         return a.begin != b.begin ? a.begin < b.begin : a.rank < b.rank;
                     });
}

std::optional<std::uint32_t> DwarfSource::lineAt(std::uint64_t fileAddress,
                                                 std::string* file) const {
    Dwfl_Line* row = dw_.moduleGetSrc(module_, fileAddress);
    int line = 0;
    const char* source = nullptr;
    if (!row || !StatementLineOf(dw_, module_, row, &source, &line))
        return std::nullopt;
    if (file && source)
        *file = withoutFolder(source);
    return line > 0 ? std::optional<std::uint32_t>(static_cast<std::uint32_t>(line)) : std::nullopt;
}

std::optional<SourcePlace> DwarfSource::find(std::uint64_t fileAddress) const {
    const auto after =
        std::upper_bound(functions_.begin(), functions_.end(), fileAddress,
                         [](std::uint64_t value, const Function& f) { return value < f.begin; });
    SourcePlace place;
    std::optional<std::uint64_t> functionStart;
    if (after != functions_.begin()) {
        // Among aliases starting at one address the first listed is kept.
        auto found = std::prev(after);
        while (found != functions_.begin() && std::prev(found)->begin == found->begin)
            --found;
        if (fileAddress < found->end) {
            const QualifiedName name = splitFunctionName(found->symbol);
            place.className = name.className;
            place.procedure = name.procedure;
            functionStart = found->begin;
        }
    }
    const std::optional<std::uint32_t> line = lineAt(fileAddress, &place.unit);
    if (!line && place.procedure.empty())
        return std::nullopt;
    place.line = line.value_or(0);
    if (line && functionStart)
        if (const auto first = lineAt(*functionStart, nullptr); first && *first < *line)
            place.lineOffset = *line - *first;
    return place;
}

std::vector<InlinedScope> DwarfSource::inlinedScopesAt(std::uint64_t fileAddress) const {
    return InlinedScopesFromDwarf(dw_, module_, fileAddress);
}

} // namespace faulttrap
