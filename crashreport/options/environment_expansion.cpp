#include "crashreport/options/environment_expansion.h"

#include "crashreport/text/strings.h"

namespace faulttrap {

std::string ExpandEnvironmentVariables(std::string_view text) {
    std::string expanded = ExpandEnvironment(text);
    if (const std::size_t nul = expanded.find('\0'); nul != std::string::npos) {
        expanded.resize(nul);
    }
    return expanded;
}

} // namespace faulttrap
