#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace faulttrap::test {

// A folder of its own for one test, removed with everything in it.
class TTempFolder {
public:
    TTempFolder();
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;
    ~TTempFolder();
    const std::filesystem::path& Path() const { return path_; }
    // Writes `bytes` to the file `name` in the folder and returns its path.
    std::string Write(const std::string& name, const std::string& bytes) const;

private:
    std::filesystem::path path_;
};

// A peer program started for a test (one of the scripts in peers/, run by Debian's python),
// stopped when the test ends. It tells the port it listens on as its first line.
class TPeerProcess {
public:
    TPeerProcess(const std::string& script, const std::vector<std::string>& arguments,
                 const std::filesystem::path& logFile);
    TPeerProcess(const TPeerProcess&) = delete;
    TPeerProcess& operator=(const TPeerProcess&) = delete;
    ~TPeerProcess();
    int Port() const { return port_; }

private:
    int pid_ = -1;
    int port_ = 0;
};

// The files a peer recorded in `folder`, in the order it received them.
std::vector<std::string> RecordedRequests(const std::filesystem::path& folder);

// Contents of a file.
std::string FileBytes(const std::filesystem::path& path);

} // namespace faulttrap::test
