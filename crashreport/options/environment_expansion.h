#pragma once

#include <string>
#include <string_view>

namespace faulttrap {

// Replaces every `%NAME%` whose environment variable exists by its value; a `%` that does not
// start a known variable stays as it is, and its closing `%` may open the next reference. The
// result ends at its first NUL character.
std::string ExpandEnvironmentVariables(std::string_view text);

} // namespace faulttrap
