#include "crashreport/intercept/thread_state.h"

#include <pthread.h>
#include <sys/mman.h>
#include <unistd.h>

namespace faulttrap {

namespace {

constinit thread_local ThreadState threadState;

} // namespace

// Runs in the fault signal's handler: async-signal-safe calls only (crashreport/THREADS.md).
ThreadState& CurrentThreadState() {
    return threadState;
}

// Runs in the fault signal's handler: async-signal-safe calls only (crashreport/THREADS.md).
std::uint32_t CurrentThreadId() {
    return static_cast<std::uint32_t>(::gettid());
}

void PrepareThreadState() {
    ThreadState& state = threadState;
    pthread_attr_t attributes;
    if (::pthread_getattr_np(::pthread_self(), &attributes) == 0) {
        void* low = nullptr;
        std::size_t size = 0;
        if (::pthread_attr_getstack(&attributes, &low, &size) == 0) {
            state.stackLow = reinterpret_cast<std::uintptr_t>(low);
            state.stackTop = state.stackLow + size;
        }
        ::pthread_attr_destroy(&attributes);
    }
    if (state.stackCopy == nullptr) {
        void* buffer = ::mmap(nullptr, kStackCopySize, PROT_READ | PROT_WRITE,
                              MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (buffer != MAP_FAILED) {
            state.stackCopy = static_cast<std::byte*>(buffer);
        }
    }
}

void ReleaseThreadState() {
    ThreadState& state = threadState;
    if (state.stackCopy != nullptr) {
        ::munmap(state.stackCopy, kStackCopySize);
        state.stackCopy = nullptr;
        state.raise.copiedBytes = 0;
    }
}

} // namespace faulttrap
