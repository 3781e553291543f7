#include "crashreport/intercept/descriptor_output.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

namespace faulttrap {

HeldBackBrokenPipe::HeldBackBrokenPipe() {
    sigset_t pipe;
    ::sigemptyset(&pipe);
    ::sigaddset(&pipe, SIGPIPE);
    ::sigpending(&before_);
    ::pthread_sigmask(SIG_BLOCK, &pipe, &previous_);
}

HeldBackBrokenPipe::~HeldBackBrokenPipe() {
    sigset_t pending;
    ::sigpending(&pending);
    if (::sigismember(&pending, SIGPIPE) && !::sigismember(&before_, SIGPIPE)) {
        sigset_t pipe;
        ::sigemptyset(&pipe);
        ::sigaddset(&pipe, SIGPIPE);
        const timespec now{0, 0};
        while (::sigtimedwait(&pipe, nullptr, &now) < 0 && errno == EINTR) {
        }
    }
    ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}

bool WriteToDescriptor(int descriptor, std::string_view bytes) {
    const int savedErrno = errno;
    const HeldBackBrokenPipe held;
    bool written = true;
    while (!bytes.empty()) {
        const ssize_t count = ::write(descriptor, bytes.data(), bytes.size());
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            written = false;
            break;
        }
        bytes.remove_prefix(static_cast<std::size_t>(count));
    }
    errno = savedErrno;
    return written;
}

} // namespace faulttrap
