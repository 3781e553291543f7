#pragma once

#include <string_view>

namespace faulttrap {

// Whether a source unit is one of the exception-reporting library's own, whose frames
// are kept out of reports.
bool IsOwnUnit(std::string_view unit);

} // namespace faulttrap
