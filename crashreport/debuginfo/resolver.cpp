#include "crashreport/debuginfo/resolver.h"

#include "crashreport/debuginfo/cxx_names.h"
#include "crashreport/debuginfo/own_units.h"

#include <algorithm>

namespace faulttrap {

namespace {

constexpr std::size_t maxNameLength = 64;

std::string EntryName(std::string_view name) {
    std::string result(name.substr(0, maxNameLength));
    if (result.starts_with('@')) {
        result[0] = '_';
    }
    return result;
}

template <typename Place> void Fill(TFaultStackEntry& entry, const Place& place) {
    entry.unitName = EntryName(place.unit);
    entry.className = EntryName(place.className);
    entry.procedureName = EntryName(place.procedure);
    entry.lineNumber = place.line;
    entry.lineOffset = place.lineOffset;
}

std::uint32_t OffsetWithin(std::uint32_t line, std::uint32_t firstLine) {
    return firstLine != 0 && line > firstLine ? line - firstLine : 0;
}

// The rows of an address in inlined code, from the entry the line information gave (its
// place and the out-of-line function's names) and the chain of inlined calls there.
TFaultStackList InlinedRows(const TFaultStackEntry& found,
                            const std::vector<InlinedScope>& scopes) {
    if (scopes.empty()) {
        return {found};
    }
    TFaultStackList rows;
    std::string unit = found.unitName;
    std::uint32_t line = found.lineNumber;
    const auto addRow = [&](std::string className, std::string procedure, std::uint32_t offset) {
        TFaultStackEntry row = found;
        row.kind = line ? EntryKind::line : EntryKind::unit;
        row.unitName = EntryName(unit);
        row.className = std::move(className);
        row.procedureName = std::move(procedure);
        row.lineNumber = line;
        row.lineOffset = offset;
        row.inlineLevel = static_cast<std::uint8_t>(std::min<std::size_t>(rows.size(), 255));
        rows.push_back(std::move(row));
    };
    for (const InlinedScope& scope : scopes) {
        addRow(EntryName(scope.className), EntryName(scope.procedure),
               OffsetWithin(line, scope.firstLine));
        if (scope.outOfLine) {
            return rows;
        }
        unit = scope.callFile;
        line = scope.callLine;
    }
    // A chain without its out-of-line function: the one the line information named, whose
    // first line is not known here.
    addRow(found.className, found.procedureName, 0);
    return rows;
}

std::vector<InlinedScope> OwningScopes(const std::vector<InlinedScopeView>& views) {
    std::vector<InlinedScope> scopes;
    for (const InlinedScopeView& view : views) {
        const std::size_t dot = view.function.find('.');
        InlinedScope scope;
        if (dot == std::string_view::npos) {
            scope.procedure = view.function;
        } else {
            scope.className = view.function.substr(0, dot);
            scope.procedure = view.function.substr(dot + 1);
        }
        scope.firstLine = view.firstLine;
        scope.outOfLine = view.callFile.empty();
        scope.callFile = view.callFile;
        scope.callLine = view.callLine;
        scopes.push_back(std::move(scope));
    }
    return scopes;
}

} // namespace

struct AddressResolver::Sources {
    std::optional<ModuleDebugData> container;
    std::unique_ptr<DwarfSource> dwarf; // only for modules without a container
    TFaultFunctionsList exports;        // only for libraries without either
};

AddressResolver::AddressResolver(const TFaultModulesList& modules, PasswordSource password,
                                 CodeSizer sizeCode)
    : modules_(modules), password_(std::move(password)), sizeCode_(std::move(sizeCode)) {}

AddressResolver::~AddressResolver() = default;

AddressResolver::Sources& AddressResolver::SourcesOf(const TFaultModuleInfo& module) {
    std::lock_guard lock(mutex_);
    auto& slot = sources_[&module];
    if (!slot) {
        slot = std::make_unique<Sources>();
        if (module.hasFile) {
            if (useContainers_) {
                slot->container =
                    LoadModuleDebugData(module.path, LoadPurpose::resolving, password_);
            }
            if (!slot->container) {
                slot->dwarf = DwarfSource::Open(module.path);
            }
            if (!slot->container && !slot->dwarf && !module.isMainProgram) {
                slot->exports = TFaultFunctionsList::Read(module.path, ExportSizer(module));
            }
        }
    }
    return *slot;
}

TFaultFunctionsList::Sizer AddressResolver::ExportSizer(const TFaultModuleInfo& module) const {
    if (!sizeCode_) {
        return {};
    }
    // The code is measured where it is loaded, up to the end of its executable segment.
    return [this, &module](std::uint64_t fileAddress) -> std::uint64_t {
        const std::uintptr_t address = module.base + fileAddress;
        for (const TFaultModuleInfo::Segment& segment : module.segments) {
            if (segment.executable && address >= segment.begin && address < segment.end) {
                return sizeCode_(address, segment.end);
            }
        }
        return 0;
    };
}

const ModuleDebugData* AddressResolver::ModuleData(const TFaultModuleInfo& module) {
    const Sources& sources = SourcesOf(module);
    return sources.container ? &*sources.container : nullptr;
}

TFaultStackEntry AddressResolver::Resolve(std::uintptr_t address, bool withDebugInfo) {
    return ResolveRows(address, withDebugInfo).front();
}

TFaultStackList AddressResolver::ResolveRows(std::uintptr_t address, bool withDebugInfo) {
    TFaultStackEntry entry;
    entry.address = address;
    entry.module = modules_.Find(address);
    if (!entry.module) {
        return {entry};
    }
    entry.kind = EntryKind::module;
    if (!withDebugInfo) {
        return {entry};
    }
    const Sources& sources = SourcesOf(*entry.module);
    const std::uint64_t offset = address - entry.module->CodeStart();

    if (sources.container && sources.container->index) {
        const LazyDebugIndex& index = *sources.container->index;
        if (const auto place = index.Find(offset)) {
            TFaultStackEntry found = entry;
            found.kind = EntryKind::line;
            Fill(found, *place);
            TFaultStackList rows = InlinedRows(found, OwningScopes(index.InlinedScopesAt(offset)));
            if (hideOwnUnits_) {
                // A frame of the library's own function is hidden whole, with what was
                // inlined into it.
                if (IsOwnUnit(rows.back().unitName)) {
                    return {entry};
                }
                std::erase_if(rows,
                              [](const TFaultStackEntry& row) { return IsOwnUnit(row.unitName); });
            }
            if (rows.empty()) {
                return {entry};
            }
            for (std::size_t i = 0; i < rows.size(); ++i) {
                rows[i].inlineLevel = static_cast<std::uint8_t>(std::min<std::size_t>(i, 255));
            }
            return rows;
        }
    }
    if (sources.dwarf) {
        if (auto place = sources.dwarf->Find(offset); place && !place->procedure.empty()) {
            entry.kind = place->line            ? EntryKind::line
                         : !place->unit.empty() ? EntryKind::unit
                                                : EntryKind::procedure;
            Fill(entry, *place);
            if (entry.kind != EntryKind::line) {
                return {entry};
            }
            return InlinedRows(entry, sources.dwarf->InlinedScopesAt(offset));
        }
    }
    if (const auto* function = sources.exports.Find(offset)) {
        const QualifiedName name = SplitFunctionName(function->name);
        entry.kind = EntryKind::procedure;
        entry.className = EntryName(name.className);
        entry.procedureName = EntryName(name.procedure);
    }
    return {entry};
}

} // namespace faulttrap
