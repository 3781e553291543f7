#include "crashreport/debuginfo/dwarf_library.h"

#include "crashreport/debuginfo/library_preload.h"
#include "crashreport/debuginfo/md5_digest.h"

#include <dlfcn.h>

#include <memory>

namespace faulttrap {

namespace {

// libdw's soname: its major version is the interface <elfutils/libdwfl.h> describes.
constexpr const char* dwarfLibraryName = "libdw.so.1";

template <typename Function> bool bind(void* library, Function& entry, const char* name) {
    entry = reinterpret_cast<Function>(::dlsym(library, name));
    return entry != nullptr;
}

std::unique_ptr<DwarfLibrary> load() {
    void* library = ::dlopen(dwarfLibraryName, RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return nullptr;
    auto dw = std::make_unique<DwarfLibrary>();
    const bool complete =
        bind(library, dw->begin, "dwfl_begin") && bind(library, dw->end, "dwfl_end") &&
        bind(library, dw->buildIdFindElf, "dwfl_build_id_find_elf") &&
        bind(library, dw->moduleBuildId, "dwfl_module_build_id") &&
        bind(library, dw->offlineSectionAddress, "dwfl_offline_section_address") &&
        bind(library, dw->reportBegin, "dwfl_report_begin") &&
        bind(library, dw->reportElf, "dwfl_report_elf") &&
        bind(library, dw->reportEnd, "dwfl_report_end") &&
        bind(library, dw->moduleGetDwarf, "dwfl_module_getdwarf") &&
        bind(library, dw->moduleGetSymtab, "dwfl_module_getsymtab") &&
        bind(library, dw->moduleGetSymInfo, "dwfl_module_getsym_info") &&
        bind(library, dw->moduleGetSrc, "dwfl_module_getsrc") &&
        bind(library, dw->lineInfo, "dwfl_lineinfo") &&
        bind(library, dw->moduleAddrDie, "dwfl_module_addrdie") &&
        bind(library, dw->getScopes, "dwarf_getscopes") &&
        bind(library, dw->getScopesDie, "dwarf_getscopes_die") &&
        bind(library, dw->tag, "dwarf_tag") && bind(library, dw->attr, "dwarf_attr") &&
        bind(library, dw->attrIntegrate, "dwarf_attr_integrate") &&
        bind(library, dw->formString, "dwarf_formstring") &&
        bind(library, dw->formUdata, "dwarf_formudata") &&
        bind(library, dw->declLine, "dwarf_decl_line") &&
        bind(library, dw->getSrcFiles, "dwarf_getsrcfiles") &&
        bind(library, dw->fileSrc, "dwarf_filesrc") &&
        bind(library, dw->getSrcLines, "dwarf_getsrclines") &&
        bind(library, dw->oneSrcLine, "dwarf_onesrcline") &&
        bind(library, dw->lineAddr, "dwarf_lineaddr") &&
        bind(library, dw->lineNo, "dwarf_lineno") && bind(library, dw->lineSrc, "dwarf_linesrc") &&
        bind(library, dw->lineBeginStatement, "dwarf_linebeginstatement") &&
        bind(library, dw->lineEndSequence, "dwarf_lineendsequence");
    if (!complete) {
        ::dlclose(library);
        return nullptr;
    }
    return dw;
}

const DwarfLibrary* LoadNow() {
    // Kept to the very end of the process: kept resolvers may still close sessions with it.
    static const DwarfLibrary* const library = load().release();
    return library;
}

} // namespace

const DwarfLibrary* LoadedDwarfLibrary() {
    return MayLoadReportLibraries() ? LoadNow() : nullptr;
}

void PreloadDebugLibraries(std::chrono::milliseconds delay) {
    RunReportLibraryPreload(delay, [] {
        LoadNow();
        PreloadDigestLibrary();
    });
}

} // namespace faulttrap
