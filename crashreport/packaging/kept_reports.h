#pragma once

#include <cstddef>
#include <filesystem>

namespace faulttrap {

inline constexpr std::size_t KeptReportArchives = 10;

// Moves `archive` into `folder` as `name`; an existing file of that name is not replaced (the
// move then fails). Returns whether the archive was moved.
bool MoveWithoutReplacing(const std::filesystem::path& archive, const std::filesystem::path& folder,
                          const std::string& name);
// Deletes the "*.zip" files of `folder` that sort first by name until `keep` remain.
void PruneKeptArchives(const std::filesystem::path& folder, std::size_t keep = KeptReportArchives);

} // namespace faulttrap
