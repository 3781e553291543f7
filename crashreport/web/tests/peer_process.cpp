#include "crashreport/web/tests/peer_process.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <poll.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace faulttrap::test {

TTempFolder::TTempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "ftweb-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    path_ = pattern;
}

TTempFolder::~TTempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TTempFolder::Write(const std::string& name, const std::string& bytes) const {
    const std::filesystem::path file = path_ / name;
    std::ofstream(file, std::ios::binary) << bytes;
    return file.string();
}

TPeerProcess::TPeerProcess(const std::string& script, const std::vector<std::string>& arguments,
                           const std::filesystem::path& logFile) {
    int output[2];
    if (pipe(output) != 0) {
        throw std::runtime_error("cannot create a pipe");
    }
    pid_ = fork();
    if (pid_ == 0) {
        dup2(output[1], STDOUT_FILENO);
        const int log = open(logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(log, STDERR_FILENO);
        close(output[0]);
        std::vector<std::string> words{"/usr/bin/python3",
                                       std::string(WEB_PEERS_DIR) + "/" + script};
        words.insert(words.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& word : words) {
            argv.push_back(word.data());
        }
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(output[1]);
    std::string line;
    pollfd ready{output[0], POLLIN, 0};
    char c = 0;
    while (line.find('\n') == std::string::npos && poll(&ready, 1, 10000) > 0 &&
           read(output[0], &c, 1) == 1) {
        line += c;
    }
    close(output[0]);
    if (!line.starts_with("PORT ")) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        throw std::runtime_error("peer " + script + " did not start: " + FileBytes(logFile));
    }
    port_ = std::atoi(line.c_str() + 5);
}

TPeerProcess::~TPeerProcess() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
}

std::vector<std::string> RecordedRequests(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    std::vector<std::string> requests;
    for (const auto& file : files) {
        requests.push_back(FileBytes(file));
    }
    return requests;
}

std::string FileBytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

} // namespace faulttrap::test
