#pragma once

#include "crashreport/debuginfo/dwarf_source.h"
#include "crashreport/debuginfo/exported_functions.h"
#include "crashreport/debuginfo/module_debug_data.h"
#include "crashreport/debuginfo/module_list.h"
#include "crashreport/debuginfo/stack_entry.h"

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

namespace faulttrap {

// Turns code addresses into call-stack entries: the module's own container first, then
// the module's DWARF, then the exported functions of a library. Each module's sources are
// loaded once, on first need, and kept.
class AddressResolver {
public:
    // Measures the loaded function at `address` whose code ends at `codeEnd` at the latest.
    using CodeSizer = std::function<std::size_t(std::uintptr_t address, std::uintptr_t codeEnd)>;

    // `sizeCode` gives the size of an exported function whose symbol states none; without it
    // such an export names its first byte only.
    explicit AddressResolver(const TFaultModulesList& modules, PasswordSource password = {},
                             CodeSizer sizeCode = {});
    ~AddressResolver();

    // With withDebugInfo off the entry names only the module (kind 1). In inlined code the
    // entry is the innermost row of resolveRows.
    TFaultStackEntry Resolve(std::uintptr_t address, bool withDebugInfo = true);
    // The call-stack rows of one address: in inlined code one row per inlined call, innermost
    // first (the inlined function at the address's line, then each caller at the line of its
    // call, down to the out-of-line function), each row's line offset counted within its own
    // function; elsewhere resolve's one entry. Never empty.
    TFaultStackList ResolveRows(std::uintptr_t address, bool withDebugInfo = true);

    // Frames in the library's own units are hidden unless this is switched off (the
    // internal-failure handler wants to see them).
    void SetHideOwnUnits(bool hide) { hideOwnUnits_ = hide; }
    // Leaves the containers unread, so that the DWARF path can be compared with them. To be
    // set before the first lookup.
    void SetUseContainers(bool use) { useContainers_ = use; }

    const TFaultModulesList& Modules() const { return modules_; }
    // The container data of a module, loaded for resolving (nullptr when it has none).
    const ModuleDebugData* ModuleData(const TFaultModuleInfo& module);

private:
    struct Sources;
    Sources& SourcesOf(const TFaultModuleInfo& module);
    TFaultFunctionsList::Sizer ExportSizer(const TFaultModuleInfo& module) const;

    const TFaultModulesList& modules_;
    PasswordSource password_;
    CodeSizer sizeCode_;
    bool hideOwnUnits_ = true;
    bool useContainers_ = true;
    std::mutex mutex_;
    std::map<const TFaultModuleInfo*, std::unique_ptr<Sources>> sources_;
};

} // namespace faulttrap
