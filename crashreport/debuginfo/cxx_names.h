#pragma once

#include <string>
#include <string_view>

namespace faulttrap {

struct QualifiedName {
    std::string className; // the enclosing namespaces and classes, "::"-separated
    std::string procedure;
};

// Splits a function's symbol into its class and procedure: mangled names are demangled,
// the parameter list, trailing qualifiers, a return type and clone suffixes dropped, and
// the name cut at its last "::" outside template arguments.
QualifiedName SplitFunctionName(std::string_view symbol);

} // namespace faulttrap
