#include "crashreport/debuginfo/dwarf_inline_scopes.h"

#include "crashreport/debuginfo/cxx_names.h"
#include "crashreport/debuginfo/dwarf_library.h"

#include <dwarf.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace faulttrap {

namespace {

std::string WithoutFolder(const char* path) {
    const char* slash = std::strrchr(path, '/');
    return slash ? slash + 1 : path;
}

// A C++ function's mangled name tells its class; a C function has its plain name only.
QualifiedName FunctionName(const DwarfLibrary& dw, Dwarf_Die* die) {
    Dwarf_Attribute attribute;
    for (const unsigned name : {DW_AT_linkage_name, DW_AT_MIPS_linkage_name}) {
        if (const char* linkage = dw.formString(dw.attrIntegrate(die, name, &attribute))) {
            return SplitFunctionName(linkage);
        }
    }
    const char* plain = dw.formString(dw.attrIntegrate(die, DW_AT_name, &attribute));
    return {{}, plain ? plain : ""};
}

std::uint32_t DeclarationLine(const DwarfLibrary& dw, Dwarf_Die* die) {
    int line = 0;
    return dw.declLine(die, &line) == 0 && line > 0 ? static_cast<std::uint32_t>(line) : 0;
}

} // namespace

std::vector<InlinedScope> InlinedScopesFromDwarf(const DwarfLibrary& dw, Dwfl_Module* module,
                                                 std::uint64_t fileAddress) {
    std::vector<InlinedScope> chain;
    Dwarf_Addr bias = 0;
    Dwarf_Die* unit = dw.moduleAddrDie(module, fileAddress, &bias);
    if (!unit) {
        return chain;
    }
    Dwarf_Files* files = nullptr;
    std::size_t fileCount = 0;
    if (dw.getSrcFiles(unit, &files, &fileCount) != 0) {
        files = nullptr;
    }
    // The scopes at the address, innermost first, as the address's code sees them: past an
    // inlined function come its own definition's scopes, not its callers'.
    Dwarf_Die* atAddress = nullptr;
    const int found = dw.getScopes(unit, fileAddress - bias, &atAddress);
    const std::unique_ptr<Dwarf_Die, decltype(&std::free)> ownedAtAddress(atAddress, &std::free);
    const Dwarf_Die* innermost = nullptr;
    for (int i = 0; i < found && !innermost; ++i) {
        const int tag = dw.tag(&atAddress[i]);
        if (tag == DW_TAG_inlined_subroutine || tag == DW_TAG_subprogram) {
            innermost = &atAddress[i];
        }
    }
    if (!innermost) {
        return chain;
    }
    // The innermost function and the scopes that physically hold it: the callers.
    Dwarf_Die start = *innermost;
    Dwarf_Die* scopes = nullptr;
    const int count = dw.getScopesDie(&start, &scopes);
    const std::unique_ptr<Dwarf_Die, decltype(&std::free)> owned(scopes, &std::free);
    bool inlined = false;
    for (int i = 0; i < count; ++i) {
        Dwarf_Die* scope = &scopes[i];
        const int tag = dw.tag(scope);
        if (tag != DW_TAG_inlined_subroutine && tag != DW_TAG_subprogram) {
            continue;
        }
        const QualifiedName name = FunctionName(dw, scope);
        InlinedScope entry{name.className,
                           name.procedure,
                           DeclarationLine(dw, scope),
                           tag == DW_TAG_subprogram,
                           {},
                           0};
        if (entry.outOfLine) {
            chain.push_back(std::move(entry));
            break;
        }
        inlined = true;
        Dwarf_Attribute attribute;
        Dwarf_Word file = 0;
        Dwarf_Word line = 0;
        if (dw.formUdata(dw.attr(scope, DW_AT_call_file, &attribute), &file) == 0 && files) {
            if (const char* path = dw.fileSrc(files, file, nullptr, nullptr)) {
                entry.callFile = WithoutFolder(path);
            }
        }
        if (dw.formUdata(dw.attr(scope, DW_AT_call_line, &attribute), &line) == 0) {
            entry.callLine = static_cast<std::uint32_t>(line);
        }
        chain.push_back(std::move(entry));
    }
    if (!inlined) {
        chain.clear();
    }
    return chain;
}

} // namespace faulttrap
