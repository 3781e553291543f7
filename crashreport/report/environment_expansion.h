#pragma once

#include <string>
#include <string_view>

namespace faulttrap {

// Replaces every %NAME% whose variable is set by its value; unknown names stay as written.
std::string ExpandEnvironment(std::string_view text);

} // namespace faulttrap
