#include "crashreport/intercept/resolver_code_naming.h"

#include "crashreport/debuginfo/safe_memory.h"
#include "crashreport/options/class_lineage.h"

#include <array>
#include <istream>
#include <stdexcept>
#include <typeinfo>

namespace faulttrap {

namespace {

constexpr std::uintptr_t kWord = sizeof(std::uintptr_t);

std::optional<std::uintptr_t> ReadWord(std::uintptr_t address) {
    std::uintptr_t value = 0;
    if (!ReadMemory(address, &value, sizeof value)) {
        return std::nullopt;
    }
    return value;
}

std::uintptr_t VirtualTableOf(const std::type_info& type) {
    return *reinterpret_cast<const std::uintptr_t*>(&type);
}

// The type information of a class is an object of one of the runtime's three class kinds: a
// class without bases, with one plain base, or with several or virtual bases.
bool IsClassTypeInfoTable(std::uintptr_t table) {
    static const std::array<std::uintptr_t, 3> kClassKinds = {
        VirtualTableOf(typeid(std::exception)), VirtualTableOf(typeid(std::runtime_error)),
        VirtualTableOf(typeid(std::iostream))};
    for (const std::uintptr_t kind : kClassKinds) {
        if (table == kind) {
            return true;
        }
    }
    return false;
}

} // namespace

std::optional<TSourcePlace> TResolverCodeNaming::SourcePlace(std::uint64_t address) const {
    const TFaultStackEntry entry = resolver_.Resolve(static_cast<std::uintptr_t>(address));
    if (entry.kind < EntryKind::procedure) {
        return std::nullopt;
    }
    return TSourcePlace{entry.unitName, entry.className, entry.procedureName,
                        static_cast<int>(entry.lineNumber), static_cast<int>(entry.lineOffset)};
}

std::string TResolverCodeNaming::ObjectClassName(std::uint64_t address) const {
    // A complete polymorphic object starts with its virtual table pointer; the table, in a
    // module's data, is preceded by the offset to the object's top (0) and its type information.
    const TFaultModulesList& modules = resolver_.Modules();
    const auto table = ReadWord(static_cast<std::uintptr_t>(address));
    if (!table || *table < 2 * kWord || !modules.Find(*table) || modules.IsCode(*table)) {
        return {};
    }
    const auto offsetToTop = ReadWord(*table - 2 * kWord);
    const auto typeInfo = ReadWord(*table - kWord);
    if (!offsetToTop || *offsetToTop != 0 || !typeInfo || !modules.Find(*typeInfo)) {
        return {};
    }
    const auto kind = ReadWord(*typeInfo);
    const auto name = ReadWord(*typeInfo + kWord);
    if (!kind || !IsClassTypeInfoTable(*kind) || !name || !modules.Find(*name)) {
        return {};
    }
    return ReadableTypeName(*reinterpret_cast<const std::type_info*>(*typeInfo));
}

} // namespace faulttrap
