#include "environment_expansion.h"

#include <cstdlib>

namespace faulttrap {

std::string ExpandEnvironmentVariables(std::string_view text) {
    std::string expanded;
    expanded.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t open = text.find('%', pos);
        if (open == std::string_view::npos) {
            expanded.append(text.substr(pos));
            break;
        }
        expanded.append(text.substr(pos, open - pos));
        const std::size_t close = text.find('%', open + 1);
        if (close == std::string_view::npos) {
            expanded.append(text.substr(open));
            break;
        }
        const std::string name(text.substr(open + 1, close - open - 1));
        const bool validName = !name.empty() && name.find('\0') == std::string::npos;
        const char* value = validName ? std::getenv(name.c_str()) : nullptr;
        if (value != nullptr) {
            expanded.append(value);
            pos = close + 1;
        } else {
            // The closing '%' may be the opening of the next reference ("100%%HOME%").
            expanded.append(text.substr(open, close - open));
            pos = close;
        }
    }
    if (const std::size_t nul = expanded.find('\0'); nul != std::string::npos) {
        expanded.resize(nul);
    }
    return expanded;
}

} // namespace faulttrap
