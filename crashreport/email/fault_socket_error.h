#pragma once

#include <stdexcept>
#include <string>

namespace faulttrap {

// A failure of the mail sockets or of the conversation on them. The message carries the
// conversation log so that the warning shows what was said.
class EFaultSocketError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace faulttrap
