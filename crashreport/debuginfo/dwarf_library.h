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
};

// Loads libdw on the first call (thread-safe); nullptr when it cannot be loaded or lacks an
// entry point, and then modules are resolved without their DWARF; nullptr too when the preload
// of library_preload.h cannot finish, rather than waiting for ever.
const DwarfLibrary* LoadedDwarfLibrary();

// The body of the preload thread (see library_preload.h): libdw and libcrypto.
void PreloadDebugLibraries(std::chrono::milliseconds delay);

} // namespace faulttrap
