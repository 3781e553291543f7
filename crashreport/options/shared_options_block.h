#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace faulttrap {

// The POSIX shared-memory name under which a module of a process publishes its options: the
// process id (8 upper-case hexadecimal digits), the module handle (as many as a pointer needs)
// and "MODULE".
std::string SharedOptionsBlockName(std::uint32_t processId, std::uintptr_t moduleHandle);

// A shared-memory block that this process created: its first 4 bytes hold the size of the whole
// block (the data plus 4), the data follow. The block is removed when the object goes.
class SharedOptionsBlock {
public:
    SharedOptionsBlock() = default;
    SharedOptionsBlock(const SharedOptionsBlock&) = delete;
    SharedOptionsBlock& operator=(const SharedOptionsBlock&) = delete;
    ~SharedOptionsBlock() { Remove(); }

    // Removes the block of `name` if it exists and creates it anew holding `data`, readable and
    // writable by the owner only (options may hold passwords). Throws std::system_error.
    void Publish(const std::string& name, std::string_view data);
    // Removes the block published last, if any.
    void Remove();

private:
    std::string name_;
};

// The data of the block `name`, behind its size field; nullopt when no such block exists.
// Throws std::system_error when it cannot be read, std::runtime_error when its size field does
// not fit the block.
std::optional<std::string> ReadSharedOptionsBlock(const std::string& name);

// Removes the options blocks that processes of this user left behind when they ended without
// their finalisation (a crash, a kill): the blocks in `folder` (where POSIX shared memory
// lives) named for a process that no longer exists. Returns how many were removed.
int RemoveBlocksOfEndedProcesses(const std::string& folder = "/dev/shm");

} // namespace faulttrap
