#include "crashreport/report/environment_expansion.h"

#include <cstdlib>

namespace faulttrap {

std::string ExpandEnvironment(std::string_view text) {
    std::string expanded;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t open = text.find('%', at);
        const std::size_t close = open == std::string_view::npos ? open : text.find('%', open + 1);
        if (close == std::string_view::npos) {
            expanded.append(text.substr(at));
            break;
        }
        expanded.append(text.substr(at, open - at));
        const std::string name(text.substr(open + 1, close - open - 1));
        const char* value = name.empty() ? nullptr : std::getenv(name.c_str());
        if (value != nullptr) {
            expanded += value;
            at = close + 1;
        } else {
            // The closing "%" may open the next name.
            expanded += '%';
            expanded += name;
            at = close;
        }
    }
    return expanded;
}

} // namespace faulttrap
