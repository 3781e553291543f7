#pragma once

#include <optional>
#include <string>
#include <vector>

namespace faulttrap {

// Runs `arguments[0]` (searched on PATH) with the arguments, no shell between, and waits for it.
// Returns its exit status, none when it could not be started or did not exit normally; `error`
// then says why.
std::optional<int> RunProgram(const std::vector<std::string>& arguments, std::string& error);

} // namespace faulttrap
