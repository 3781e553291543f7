#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace faulttrap {

// A module's version is written by the build tool as the text of its section ".ftversion", in
// the four-number form "major.minor.release.build" that the report shows.
inline constexpr const char* moduleVersionSection = ".ftversion";

// "1", "1.2", "1.2.3" or "1.2.3.4" (decimal numbers) in the four-number form, the missing
// numbers 0; nullopt for any other text.
std::optional<std::string> FourPartVersion(std::string_view version);

// The version the module file at `path` carries; empty when it carries none or cannot be read.
std::string ModuleVersion(const std::string& path);

} // namespace faulttrap
