#include "crashreport/debuginfo/safe_memory.h"

#include <fcntl.h>
#include <sys/uio.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace faulttrap {

namespace {

std::atomic<bool> vmReadAllowed{true};
// Opened once, published without a lock: the first read may come inside a signal handler, where
// a function-local static's guarded initialisation could wait for a lock the interrupted code
// holds. `open` and `close` are async-signal-safe.
std::atomic<int> procMemDescriptor{-1};

// Runs in the fault signal's handler: async-signal-safe calls only (crashreport/THREADS.md).
int ProcMemDescriptor() {
    int fd = procMemDescriptor.load(std::memory_order_acquire);
    if (fd >= 0) {
        return fd;
    }
    fd = ::open("/proc/self/mem", O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return -1;
    }
    int expected = -1;
    if (!procMemDescriptor.compare_exchange_strong(expected, fd, std::memory_order_acq_rel)) {
        ::close(fd);
        return expected;
    }
    return fd;
}

// Where process_vm_readv is not allowed (some sandboxes filter it), /proc/self/mem gives
// the same guarded view of the address space.
// Runs in the fault signal's handler: async-signal-safe calls only (crashreport/THREADS.md).
bool ReadThroughProcMem(std::uintptr_t address, void* out, std::size_t size) {
    const int fd = ProcMemDescriptor();
    if (fd < 0) {
        return false;
    }
    const ssize_t read = ::pread(fd, out, size, static_cast<off_t>(address));
    return read == static_cast<ssize_t>(size);
}

} // namespace

void PrepareMemoryReads() {
    const int probe = 0;
    int copy = 0;
    ReadMemory(reinterpret_cast<std::uintptr_t>(&probe), &copy, sizeof copy);
}

// Runs in the fault signal's handler: async-signal-safe calls only (crashreport/THREADS.md).
bool ReadMemory(std::uintptr_t address, void* out, std::size_t size) {
    if (size == 0) {
        return true;
    }
    if (address + size < address) {
        return false;
    }
    if (vmReadAllowed) {
        iovec local{out, size};
        iovec remote{reinterpret_cast<void*>(address), size};
        const ssize_t read = ::process_vm_readv(::getpid(), &local, 1, &remote, 1, 0);
        if (read >= 0) {
            return read == static_cast<ssize_t>(size);
        }
        if (errno != ENOSYS && errno != EPERM) {
            return false;
        }
        vmReadAllowed = false;
    }
    return ReadThroughProcMem(address, out, size);
}

} // namespace faulttrap
