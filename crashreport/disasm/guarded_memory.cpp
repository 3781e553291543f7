#include "crashreport/disasm/guarded_memory.h"

#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

namespace faulttrap {

namespace {

std::uint64_t PageSize() {
    static const std::uint64_t size = static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
    return size;
}

} // namespace

std::size_t ReadMemory(std::uint64_t address, std::span<std::uint8_t> destination) {
    if (destination.empty()) {
        return 0;
    }
    // The kernel copies the remote pieces in order and stops at the first one it cannot read; one
    // piece per page makes the copy stop exactly where readable memory ends.
    std::vector<iovec> pieces;
    std::uint64_t from = address;
    const std::uint64_t end = address + destination.size();
    while (from < end && from >= address) {
        const std::uint64_t pageEnd = (from / PageSize() + 1) * PageSize();
        const std::uint64_t pieceEnd = pageEnd > from ? std::min(pageEnd, end) : end;
        pieces.push_back(
            {reinterpret_cast<void*>(from), static_cast<std::size_t>(pieceEnd - from)});
        from = pieceEnd;
    }
    const std::size_t limit = static_cast<std::size_t>(sysconf(_SC_IOV_MAX));
    std::size_t copied = 0;
    for (std::size_t first = 0; first < pieces.size(); first += limit) {
        const std::size_t count = std::min(limit, pieces.size() - first);
        std::size_t wanted = 0;
        for (std::size_t i = first; i < first + count; ++i) {
            wanted += pieces[i].iov_len;
        }
        iovec local{destination.data() + copied, wanted};
        const ssize_t got = process_vm_readv(getpid(), &local, 1, &pieces[first], count, 0);
        if (got <= 0) {
            break;
        }
        copied += static_cast<std::size_t>(got);
        if (static_cast<std::size_t>(got) < wanted) {
            break;
        }
    }
    return copied;
}

bool IsReadable(std::uint64_t address, std::size_t count) {
    std::vector<std::uint8_t> scratch(count);
    return ReadMemory(address, scratch) == count;
}

} // namespace faulttrap
