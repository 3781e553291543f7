#include "crashreport/debuginfo/cxx_names.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>

namespace faulttrap {

namespace {

std::string Demangled(std::string_view symbol) {
    const std::string name(symbol);
    if (!name.starts_with("_Z")) {
        return name;
    }
    int status = 0;
    const std::unique_ptr<char, decltype(&std::free)> text(
        abi::__cxa_demangle(name.c_str(), nullptr, nullptr, &status), &std::free);
    return status == 0 && text ? std::string(text.get()) : name;
}

// Cuts "name(args) const [clone .cold]" down to "name".
std::string_view WithoutParameters(std::string_view name) {
    if (const std::size_t clone = name.find(" [clone"); clone != std::string_view::npos) {
        name = name.substr(0, clone);
    }
    const std::size_t close = name.rfind(')');
    if (close == std::string_view::npos) {
        return name;
    }
    int depth = 0;
    for (std::size_t i = close + 1; i-- > 0;) {
        if (name[i] == ')') {
            ++depth;
        } else if (name[i] == '(' && --depth == 0) {
            return i > 0 ? name.substr(0, i) : name;
        }
    }
    return name;
}

// The position after the last "::" or blank (return type) outside <> and ().
std::size_t LastTopLevelSeparator(std::string_view name, bool blank) {
    int depth = 0;
    for (std::size_t i = name.size(); i-- > 0;) {
        const char c = name[i];
        if (c == '>' || c == ')') {
            ++depth;
        } else if ((c == '<' || c == '(') && depth > 0) {
            --depth;
        } else if (depth == 0 && blank && c == ' ' && !name.substr(0, i).ends_with("operator")) {
            return i + 1;
        } else if (depth == 0 && !blank && c == ':' && i > 0 && name[i - 1] == ':') {
            return i + 1;
        }
    }
    return 0;
}

} // namespace

QualifiedName SplitFunctionName(std::string_view symbol) {
    const std::string full = Demangled(symbol);
    std::string_view name = WithoutParameters(full);
    name.remove_prefix(LastTopLevelSeparator(name, true));
    const std::size_t split = LastTopLevelSeparator(name, false);
    if (split == 0) {
        return {{}, std::string(name)};
    }
    return {std::string(name.substr(0, split - 2)), std::string(name.substr(split))};
}

} // namespace faulttrap
