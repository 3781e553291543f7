#pragma once

#include "crashreport/text/faulttrap_error.h"

#include <optional>
#include <stdexcept>
#include <string>

namespace faulttrap {

// A file that exists but cannot be read.
class TFileReadError : public Error {
public:
    explicit TFileReadError(const std::string& message) : Error(message) {}
};

// The bytes of the file `path`; nothing when there is no such file. Throws TFileReadError when
// the file exists but cannot be read whole.
std::optional<std::string> ReadFileIfPresent(const std::string& path);

// The name of `path` without its folder.
std::string FileNameOf(const std::string& path);

} // namespace faulttrap
