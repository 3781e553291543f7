#pragma once

#include <elfutils/libdwfl.h>

#include <chrono>

namespace faulttrap {

// The entry points of libdw that the DWARF source uses. libdw (with libelf and the
// decompressors it needs) is loaded when the first report reads a module's DWARF, not when
// the program starts: most runs never build a report.
struct DwarfLibrary {
    decltype(&::dwfl_begin) begin;
    decltype(&::dwfl_end) end;
    decltype(&::dwfl_build_id_find_elf) buildIdFindElf;
    decltype(&::dwfl_module_build_id) moduleBuildId;
    decltype(&::dwfl_offline_section_address) offlineSectionAddress;
    decltype(&::dwfl_report_begin) reportBegin;
    decltype(&::dwfl_report_elf) reportElf;
    decltype(&::dwfl_report_end) reportEnd;
    decltype(&::dwfl_module_getdwarf) moduleGetDwarf;
    decltype(&::dwfl_module_getsymtab) moduleGetSymtab;
    decltype(&::dwfl_module_getsym_info) moduleGetSymInfo;
    decltype(&::dwfl_module_getsrc) moduleGetSrc;
    decltype(&::dwfl_lineinfo) lineInfo;
    // For the chain of inlined calls at an address.
    decltype(&::dwfl_module_addrdie) moduleAddrDie;
    decltype(&::dwarf_getscopes) getScopes;
    decltype(&::dwarf_getscopes_die) getScopesDie;
    decltype(&::dwarf_tag) tag;
    decltype(&::dwarf_attr) attr;
    decltype(&::dwarf_attr_integrate) attrIntegrate;
    decltype(&::dwarf_formstring) formString;
    decltype(&::dwarf_formudata) formUdata;
    decltype(&::dwarf_decl_line) declLine;
    decltype(&::dwarf_getsrcfiles) getSrcFiles;
    decltype(&::dwarf_filesrc) fileSrc;
    // For the line a debugger reads among several rows at one address.
    decltype(&::dwarf_getsrclines) getSrcLines;
    decltype(&::dwarf_onesrcline) oneSrcLine;
    decltype(&::dwarf_lineaddr) lineAddr;
    decltype(&::dwarf_lineno) lineNo;
    decltype(&::dwarf_linesrc) lineSrc;
    decltype(&::dwarf_linebeginstatement) lineBeginStatement;
    decltype(&::dwarf_lineendsequence) lineEndSequence;
};

// Loads libdw on the first call (thread-safe); nullptr when it cannot be loaded or lacks an
// entry point, and then modules are resolved without their DWARF; nullptr too when the preload
// of library_preload.h cannot finish, rather than waiting for ever.
const DwarfLibrary* LoadedDwarfLibrary();

// The body of the preload thread (see library_preload.h): libdw and libcrypto.
void PreloadDebugLibraries(std::chrono::milliseconds delay);

} // namespace faulttrap
