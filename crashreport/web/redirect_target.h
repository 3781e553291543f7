#pragma once

#include <string>
#include <string_view>

namespace faulttrap {

// Whether `target` is a whole address ("http://..." or "https://...", any case) rather than a
// path on the connection's server.
bool IsAbsoluteAddress(std::string_view target);

// Where a redirect from the request `current` to `location` leads: a whole address stays as it
// is, a path from the root replaces the path, and anything else is read relative to the folder
// of `current`.
std::string RedirectTarget(std::string_view current, std::string_view location);

// The address in a refresh header ("0; url=next.php"), without quotes; empty when it names none.
std::string RefreshTarget(std::string_view refresh);

} // namespace faulttrap
