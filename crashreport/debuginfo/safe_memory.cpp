#include "debuginfo/safe_memory.h"

#include <fcntl.h>
#include <sys/uio.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace faulttrap {

namespace {

// Where process_vm_readv is not allowed (some sandboxes filter it), /proc/self/mem gives
// the same guarded view of the address space.
bool readThroughProcMem(std::uintptr_t address, void* out, std::size_t size) {
    static const int fd = ::open("/proc/self/mem", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const ssize_t read = ::pread(fd, out, size, static_cast<off_t>(address));
    return read == static_cast<ssize_t>(size);
}

} // namespace

bool readMemory(std::uintptr_t address, void* out, std::size_t size) {
    if (size == 0)
        return true;
    if (address + size < address)
        return false;
    static std::atomic<bool> vmReadAllowed{true};
    if (vmReadAllowed) {
        iovec local{out, size};
        iovec remote{reinterpret_cast<void*>(address), size};
        const ssize_t read = ::process_vm_readv(::getpid(), &local, 1, &remote, 1, 0);
        if (read >= 0)
            return read == static_cast<ssize_t>(size);
        if (errno != ENOSYS && errno != EPERM)
            return false;
        vmReadAllowed = false;
    }
    return readThroughProcMem(address, out, size);
}

} // namespace faulttrap
