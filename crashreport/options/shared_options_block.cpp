#include "crashreport/options/shared_options_block.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <system_error>

namespace faulttrap {

namespace {

constexpr std::size_t kSizeField = 4;

[[noreturn]] void ThrowSystemError(const std::string& what, const std::string& name) {
    throw std::system_error(errno, std::generic_category(), what + " \"" + name + "\"");
}

// Closes a descriptor and unmaps a mapping whatever way the function is left.
class Mapping {
public:
    Mapping(int fd, std::size_t size, int protection) : fd_(fd), size_(size) {
        if (size_ > 0) {
            address_ = mmap(nullptr, size_, protection, MAP_SHARED, fd_, 0);
        }
    }
    Mapping(const Mapping&) = delete;
    Mapping& operator=(const Mapping&) = delete;
    ~Mapping() {
        if (address_ != MAP_FAILED) {
            munmap(address_, size_);
        }
        close(fd_);
    }
    bool Failed() const { return address_ == MAP_FAILED; }
    unsigned char* Bytes() const { return static_cast<unsigned char*>(address_); }

private:
    int fd_;
    std::size_t size_;
    void* address_ = MAP_FAILED;
};

} // namespace

std::string SharedOptionsBlockName(std::uint32_t processId, std::uintptr_t moduleHandle) {
    char name[64];
    std::snprintf(name, sizeof name, "/%08X%0*llXMODULE", processId,
                  static_cast<int>(2 * sizeof(std::uintptr_t)),
                  static_cast<unsigned long long>(moduleHandle));
    return name;
}

void SharedOptionsBlock::Publish(const std::string& name, std::string_view data) {
    Remove();
    shm_unlink(name.c_str());
    const std::size_t size = data.size() + kSizeField;
    if (size > UINT32_MAX) {
        throw std::length_error("The options are too large for a shared-memory block.");
    }
    const int fd = shm_open(name.c_str(), O_RDWR | O_CREAT | O_EXCL, S_IRUSR | S_IWUSR);
    if (fd < 0) {
        ThrowSystemError("Cannot create the shared-memory block", name);
    }
    name_ = name;
    if (ftruncate(fd, static_cast<off_t>(size)) != 0) {
        const int saved = errno;
        close(fd);
        Remove();
        errno = saved;
        ThrowSystemError("Cannot size the shared-memory block", name);
    }
    const Mapping mapping(fd, size, PROT_READ | PROT_WRITE);
    if (mapping.Failed()) {
        const int saved = errno;
        Remove();
        errno = saved;
        ThrowSystemError("Cannot map the shared-memory block", name);
    }
    for (std::size_t i = 0; i < kSizeField; ++i) {
        mapping.Bytes()[i] = static_cast<unsigned char>(size >> (8 * i));
    }
    std::memcpy(mapping.Bytes() + kSizeField, data.data(), data.size());
}

void SharedOptionsBlock::Remove() {
    if (!name_.empty()) {
        shm_unlink(name_.c_str());
        name_.clear();
    }
}

namespace {

// The process id of a block name "<8 hex digits><hex digits>MODULE"; none for other names.
std::optional<pid_t> ProcessOfBlockName(const std::string& name) {
    constexpr std::string_view kSuffix = "MODULE";
    if (name.size() <= 8 + kSuffix.size() ||
        name.compare(name.size() - kSuffix.size(), kSuffix.size(), kSuffix) != 0) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < name.size() - kSuffix.size(); ++i) {
        if (!std::isxdigit(static_cast<unsigned char>(name[i])) || std::islower(name[i])) {
            return std::nullopt;
        }
    }
    return static_cast<pid_t>(std::stoul(name.substr(0, 8), nullptr, 16));
}

bool ProcessExists(pid_t process) {
    return ::kill(process, 0) == 0 || errno == EPERM;
}

} // namespace

int RemoveBlocksOfEndedProcesses(const std::string& folder) {
    DIR* directory = ::opendir(folder.c_str());
    if (directory == nullptr) {
        return 0;
    }
    int removed = 0;
    while (const dirent* entry = ::readdir(directory)) {
        const std::string name = entry->d_name;
        const std::optional<pid_t> process = ProcessOfBlockName(name);
        struct stat status {};
        if (!process || ::fstatat(::dirfd(directory), entry->d_name, &status, 0) != 0 ||
            status.st_uid != ::getuid() || ProcessExists(*process)) {
            continue;
        }
        if (::unlinkat(::dirfd(directory), entry->d_name, 0) == 0) {
            ++removed;
        }
    }
    ::closedir(directory);
    return removed;
}

std::optional<std::string> ReadSharedOptionsBlock(const std::string& name) {
    const int fd = shm_open(name.c_str(), O_RDONLY, 0);
    if (fd < 0) {
        if (errno == ENOENT) {
            return std::nullopt;
        }
        ThrowSystemError("Cannot open the shared-memory block", name);
    }
    struct stat status {};
    if (fstat(fd, &status) != 0) {
        const int saved = errno;
        close(fd);
        errno = saved;
        ThrowSystemError("Cannot examine the shared-memory block", name);
    }
    const auto mappedSize = static_cast<std::size_t>(status.st_size);
    if (mappedSize < kSizeField) {
        close(fd);
        throw std::runtime_error("The shared-memory block \"" + name + "\" is too small.");
    }
    const Mapping mapping(fd, mappedSize, PROT_READ);
    if (mapping.Failed()) {
        ThrowSystemError("Cannot map the shared-memory block", name);
    }
    std::size_t declared = 0;
    for (std::size_t i = 0; i < kSizeField; ++i) {
        declared |= static_cast<std::size_t>(mapping.Bytes()[i]) << (8 * i);
    }
    if (declared < kSizeField || declared > mappedSize) {
        throw std::runtime_error("The shared-memory block \"" + name +
                                 "\" declares a size that does not fit it.");
    }
    return std::string(reinterpret_cast<const char*>(mapping.Bytes()) + kSizeField,
                       declared - kSizeField);
}

} // namespace faulttrap
