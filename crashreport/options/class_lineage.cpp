#include "crashreport/options/class_lineage.h"

#include <cxxabi.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace faulttrap {

namespace {

void AddWithAncestors(const std::type_info& type, std::vector<const std::type_info*>& seen) {
    // type_info objects of one class may be duplicated across shared objects: compare by value.
    if (std::any_of(seen.begin(), seen.end(), [&](const auto* each) { return *each == type; })) {
        return;
    }
    seen.push_back(&type);
    if (const auto* single = dynamic_cast<const abi::__si_class_type_info*>(&type)) {
        AddWithAncestors(*single->__base_type, seen);
    } else if (const auto* multiple = dynamic_cast<const abi::__vmi_class_type_info*>(&type)) {
        for (unsigned i = 0; i < multiple->__base_count; ++i) {
            AddWithAncestors(*multiple->__base_info[i].__base_type, seen);
        }
    }
}

} // namespace

std::string ReadableTypeName(const std::type_info& type) {
    int status = 0;
    const std::unique_ptr<char, decltype(&std::free)> demangled(
        abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), &std::free);
    return status == 0 && demangled ? std::string(demangled.get()) : std::string(type.name());
}

std::vector<std::string> ClassLineage(const std::type_info& type) {
    std::vector<const std::type_info*> types;
    AddWithAncestors(type, types);
    std::vector<std::string> names;
    names.reserve(types.size());
    for (const std::type_info* each : types) {
        names.push_back(ReadableTypeName(*each));
    }
    return names;
}

} // namespace faulttrap
