#include "tools/faulttrap/section_embedder.h"

#include "crashreport/debuginfo/module_version.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <stdexcept>

extern char** environ;

namespace faulttrap {

namespace {

// Removes the temporary container file on every way out.
class TemporaryFile {
public:
    TemporaryFile(std::string path, const std::vector<std::uint8_t>& bytes)
        : path_(std::move(path)) {
        std::ofstream out(path_, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        if (!out.flush()) {
            throw std::runtime_error(path_ + ": cannot be written");
        }
    }
    ~TemporaryFile() { ::unlink(path_.c_str()); }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

void Run(std::vector<std::string> arguments) {
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    pid_t child = 0;
    const int error = posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ);
    if (error != 0) {
        throw std::runtime_error(arguments[0] + " cannot be started: " + std::strerror(error));
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            throw std::runtime_error(arguments[0] + ": " + std::strerror(errno));
        }
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error(arguments[0] + " failed on " + arguments.back());
    }
}

} // namespace

void EmbedSection(const std::string& program, const std::vector<std::uint8_t>& container,
                  const std::optional<std::string>& version) {
    const TemporaryFile data(program + ".ftdata.tmp", container);
    const std::string section = subsystemDataSection;
    const std::string versionSection = moduleVersionSection;
    const std::string shownVersion = version.value_or("");
    const TemporaryFile versionText(
        program + ".ftversion.tmp",
        std::vector<std::uint8_t>(shownVersion.begin(), shownVersion.end()));
    std::vector<std::string> arguments = {"objcopy",
                                          "--remove-section=" + section,
                                          "--remove-section=" + versionSection,
                                          "--add-section",
                                          section + "=" + data.Path(),
                                          "--set-section-flags",
                                          section + "=contents,readonly"};
    if (version) {
        arguments.insert(arguments.end(),
                         {"--add-section", versionSection + "=" + versionText.Path(),
                          "--set-section-flags", versionSection + "=contents,readonly"});
    }
    // objcopy writes a new file that then replaces the program, so that a program that
    // is running (the tool embedding into itself) can be replaced too.
    const std::string rewritten = program + ".ftdata.out";
    arguments.insert(arguments.end(), {program, rewritten});
    try {
        Run(arguments);
        if (std::rename(rewritten.c_str(), program.c_str()) != 0) {
            throw std::runtime_error(program + " cannot be replaced: " + std::strerror(errno));
        }
    } catch (...) {
        ::unlink(rewritten.c_str());
        throw;
    }
}

} // namespace faulttrap
