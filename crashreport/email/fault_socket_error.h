#pragma once

#include "crashreport/text/faulttrap_error.h"

#include <stdexcept>
#include <string>

namespace faulttrap {

// A failure of the mail sockets or of the conversation on them. The message carries the
// conversation log so that the warning shows what was said.
class EFaultSocketError : public Error {
public:
    using Error::Error;
};

} // namespace faulttrap
