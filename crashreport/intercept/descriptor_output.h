#pragma once

#include <signal.h>

#include <string_view>

namespace faulttrap {

// Writes all of `bytes` to the descriptor with write(2): no stdio stream and no lock that a
// faulting thread may hold. A reader that has gone (EPIPE) is a failed write, never the end of
// the process: SIGPIPE is held back on this thread for the write and discarded afterwards.
bool WriteToDescriptor(int descriptor, std::string_view bytes);

// Holds SIGPIPE back on the calling thread for its lifetime; a SIGPIPE raised meanwhile for this
// thread is taken off again, so that it never reaches the program: writes to a reader that has
// gone fail with EPIPE instead.
class HeldBackBrokenPipe {
public:
    HeldBackBrokenPipe();
    ~HeldBackBrokenPipe();
    HeldBackBrokenPipe(const HeldBackBrokenPipe&) = delete;
    HeldBackBrokenPipe& operator=(const HeldBackBrokenPipe&) = delete;

private:
    sigset_t previous_{};
    sigset_t before_{};
};

} // namespace faulttrap
