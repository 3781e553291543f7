#pragma once

#include <string>

namespace faulttrap {

// A packaged file to deliver: where it lies and the name it is delivered under.
struct TWebUploadFile {
    std::string path;
    std::string attachmentName;
};

} // namespace faulttrap
