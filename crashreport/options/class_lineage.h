#pragma once

#include <string>
#include <typeinfo>
#include <vector>

namespace faulttrap {

// The readable name of a type: the demangled name ("std::runtime_error"), or the raw name when
// it cannot be demangled.
std::string ReadableTypeName(const std::type_info& type);

// The name of `type` followed by the names of its ancestor classes: the class itself first, then
// each base class before that base's own bases, bases in declaration order; a class reached
// twice (a shared virtual base) is listed once. A type that is not a class yields its name only.
std::vector<std::string> ClassLineage(const std::type_info& type);

} // namespace faulttrap
