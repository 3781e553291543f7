#pragma once

#include <string>
#include <string_view>

namespace faulttrap {

// `text` as a customised text reads: expanded for `%NAME%` environment variables
// (ExpandEnvironment), ending at its first NUL character.
std::string ExpandEnvironmentVariables(std::string_view text);

} // namespace faulttrap
