#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <vector>

// One readable and writable page between two pages that cannot be read.
class TGuardedPage {
public:
    TGuardedPage() : size_(static_cast<std::size_t>(sysconf(_SC_PAGESIZE))) {
        void* region = mmap(nullptr, 3 * size_, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        base_ = static_cast<std::uint8_t*>(region);
        mprotect(base_ + size_, size_, PROT_READ | PROT_WRITE);
    }
    ~TGuardedPage() { munmap(base_, 3 * size_); }
    TGuardedPage(const TGuardedPage&) = delete;
    TGuardedPage& operator=(const TGuardedPage&) = delete;

    std::uint64_t Start() const { return reinterpret_cast<std::uint64_t>(base_ + size_); }
    std::uint64_t End() const { return Start() + size_; }

    // Copies `bytes` to `offset` from the start of the readable page.
    void Put(std::size_t offset, const std::vector<std::uint8_t>& bytes) {
        std::memcpy(base_ + size_ + offset, bytes.data(), bytes.size());
    }
    void Fill(std::size_t offset, std::size_t count, std::uint8_t byte) {
        std::memset(base_ + size_ + offset, byte, count);
    }

private:
    std::size_t size_;
    std::uint8_t* base_;
};
