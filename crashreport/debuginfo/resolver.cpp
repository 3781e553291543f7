#include "debuginfo/resolver.h"

#include "debuginfo/cxx_names.h"
#include "debuginfo/own_units.h"

namespace faulttrap {

namespace {

constexpr std::size_t maxNameLength = 64;

std::string entryName(std::string_view name) {
    std::string result(name.substr(0, maxNameLength));
    if (result.starts_with('@'))
        result[0] = '_';
    return result;
}

template <typename Place> void fill(TFaultStackEntry& entry, const Place& place) {
    entry.unitName = entryName(place.unit);
    entry.className = entryName(place.className);
    entry.procedureName = entryName(place.procedure);
    entry.lineNumber = place.line;
    entry.lineOffset = place.lineOffset;
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

AddressResolver::Sources& AddressResolver::sourcesOf(const TFaultModuleInfo& module) {
    std::lock_guard lock(mutex_);
    auto& slot = sources_[&module];
    if (!slot) {
        slot = std::make_unique<Sources>();
        if (module.hasFile) {
            if (useContainers_)
                slot->container =
                    loadModuleDebugData(module.path, LoadPurpose::resolving, password_);
            if (!slot->container)
                slot->dwarf = DwarfSource::open(module.path);
            if (!slot->container && !slot->dwarf && !module.isMainProgram)
                slot->exports = TFaultFunctionsList::read(module.path, exportSizer(module));
        }
    }
    return *slot;
}

TFaultFunctionsList::Sizer AddressResolver::exportSizer(const TFaultModuleInfo& module) const {
    if (!sizeCode_)
        return {};
    // The code is measured where it is loaded, up to the end of its executable segment.
    return [this, &module](std::uint64_t fileAddress) -> std::uint64_t {
        const std::uintptr_t address = module.base + fileAddress;
        for (const TFaultModuleInfo::Segment& segment : module.segments)
            if (segment.executable && address >= segment.begin && address < segment.end)
                return sizeCode_(address, segment.end);
        return 0;
    };
}

const ModuleDebugData* AddressResolver::moduleData(const TFaultModuleInfo& module) {
    const Sources& sources = sourcesOf(module);
    return sources.container ? &*sources.container : nullptr;
}

TFaultStackEntry AddressResolver::resolve(std::uintptr_t address, bool withDebugInfo) {
    TFaultStackEntry entry;
    entry.address = address;
    entry.module = modules_.find(address);
    if (!entry.module)
        return entry;
    entry.kind = EntryKind::module;
    if (!withDebugInfo)
        return entry;
    const Sources& sources = sourcesOf(*entry.module);
    const std::uint64_t offset = address - entry.module->codeStart();

    if (sources.container && sources.container->index) {
        if (const auto place = sources.container->index->find(offset)) {
            if (!(hideOwnUnits_ && isOwnUnit(place->unit))) {
                entry.kind = EntryKind::line;
                fill(entry, *place);
            }
            return entry;
        }
    }
    if (sources.dwarf) {
        if (auto place = sources.dwarf->find(offset); place && !place->procedure.empty()) {
            entry.kind = place->line            ? EntryKind::line
                         : !place->unit.empty() ? EntryKind::unit
                                                : EntryKind::procedure;
            fill(entry, *place);
            return entry;
        }
    }
    if (const auto* function = sources.exports.find(offset)) {
        const QualifiedName name = splitFunctionName(function->name);
        entry.kind = EntryKind::procedure;
        entry.className = entryName(name.className);
        entry.procedureName = entryName(name.procedure);
    }
    return entry;
}

} // namespace faulttrap
