#pragma once

#include <string>
#include <vector>

namespace faulttrap {

// Writes the ZIP archive `archivePath` (an existing file of that name is deleted first) with one
// entry per file, named by the file name without folder and dated by the file's last-write time
// in local time; raw deflate at level 9. With a non-empty `password` every entry carries
// traditional PKWARE encryption. A file that cannot be read in full is left out. Returns the
// number of entries written; on a failure of the archive itself the archive is removed and the
// result is 0.
int CreateZipArchive(const std::string& archivePath, const std::vector<std::string>& files,
                     const std::string& password);

} // namespace faulttrap
