#include "crashreport/debuginfo/dwarf_library.h"

#include "crashreport/debuginfo/library_preload.h"
#include "crashreport/debuginfo/md5_digest.h"

#include <dlfcn.h>

#include <memory>

namespace faulttrap {

namespace {

// libdw's soname: its major version is the interface <elfutils/libdwfl.h> describes.
constexpr const char* dwarfLibraryName = "libdw.so.1";

template <typename Function> bool Bind(void* library, Function& entry, const char* name) {
    entry = reinterpret_cast<Function>(::dlsym(library, name));
    return entry != nullptr;
}

std::unique_ptr<DwarfLibrary> Load() {
    void* library = ::dlopen(dwarfLibraryName, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        return nullptr;
    }
    auto dw = std::make_unique<DwarfLibrary>();
    const bool complete =
        Bind(library, dw->begin, "dwfl_begin") && Bind(library, dw->end, "dwfl_end") &&
        Bind(library, dw->buildIdFindElf, "dwfl_build_id_find_elf") &&
        Bind(library, dw->moduleBuildId, "dwfl_module_build_id") &&
        Bind(library, dw->offlineSectionAddress, "dwfl_offline_section_address") &&
        Bind(library, dw->reportBegin, "dwfl_report_begin") &&
        Bind(library, dw->reportElf, "dwfl_report_elf") &&
        Bind(library, dw->reportEnd, "dwfl_report_end") &&
        Bind(library, dw->moduleGetDwarf, "dwfl_module_getdwarf") &&
        Bind(library, dw->moduleGetSymtab, "dwfl_module_getsymtab") &&
        Bind(library, dw->moduleGetSymInfo, "dwfl_module_getsym_info") &&
        Bind(library, dw->moduleGetSrc, "dwfl_module_getsrc") &&
        Bind(library, dw->lineInfo, "dwfl_lineinfo") &&
        Bind(library, dw->moduleAddrDie, "dwfl_module_addrdie") &&
        Bind(library, dw->getScopes, "dwarf_getscopes") &&
        Bind(library, dw->getScopesDie, "dwarf_getscopes_die") &&
        Bind(library, dw->tag, "dwarf_tag") && Bind(library, dw->attr, "dwarf_attr") &&
        Bind(library, dw->attrIntegrate, "dwarf_attr_integrate") &&
        Bind(library, dw->formString, "dwarf_formstring") &&
        Bind(library, dw->formUdata, "dwarf_formudata") &&
        Bind(library, dw->declLine, "dwarf_decl_line") &&
        Bind(library, dw->getSrcFiles, "dwarf_getsrcfiles") &&
        Bind(library, dw->fileSrc, "dwarf_filesrc") &&
        Bind(library, dw->getSrcLines, "dwarf_getsrclines") &&
        Bind(library, dw->oneSrcLine, "dwarf_onesrcline") &&
        Bind(library, dw->lineAddr, "dwarf_lineaddr") &&
        Bind(library, dw->lineNo, "dwarf_lineno") && Bind(library, dw->lineSrc, "dwarf_linesrc") &&
        Bind(library, dw->lineBeginStatement, "dwarf_linebeginstatement") &&
        Bind(library, dw->lineEndSequence, "dwarf_lineendsequence");
    if (!complete) {
        ::dlclose(library);
        return nullptr;
    }
    return dw;
}

const DwarfLibrary* LoadNow() {
    // Kept to the very end of the process: kept resolvers may still close sessions with it.
    static const DwarfLibrary* const library = Load().release();
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
