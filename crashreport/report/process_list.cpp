#include "crashreport/report/process_list.h"

#include "crashreport/report/module_sections.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sched.h>
#include <sstream>
#include <unistd.h>

namespace faulttrap {

namespace {

std::string ReadText(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

} // namespace

std::string PriorityClass(int policy, int nice) {
    if (policy == SCHED_FIFO || policy == SCHED_RR) {
        return "Real-Time";
    }
    if (nice > 10) {
        return "Low";
    }
    if (nice > 0) {
        return "Below-Normal";
    }
    if (nice == 0) {
        return "Normal";
    }
    return nice >= -10 ? "Above-Normal" : "High";
}

bool ParseProcessStat(std::string_view stat, ProcessStat& parsed) {
    // The command name sits in parentheses and may hold blanks and parentheses itself.
    const std::size_t open = stat.find('(');
    const std::size_t close = stat.rfind(')');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open) {
        return false;
    }
    parsed.name = std::string(stat.substr(open + 1, close - open - 1));
    std::istringstream fields{std::string(stat.substr(close + 1))};
    std::vector<std::string> values{std::istream_iterator<std::string>(fields),
                                    std::istream_iterator<std::string>()};
    // Fields from the state (3rd of the line): nice is the 19th, threads the 20th, policy the
    // 41st.
    constexpr std::size_t kNice = 19 - 3;
    constexpr std::size_t kThreads = 20 - 3;
    constexpr std::size_t kPolicy = 41 - 3;
    if (values.size() <= kThreads) {
        return false;
    }
    parsed.nice = std::atoi(values[kNice].c_str());
    parsed.threads = std::atoi(values[kThreads].c_str());
    parsed.policy = values.size() > kPolicy ? std::atoi(values[kPolicy].c_str()) : 0;
    return true;
}

std::string ThreadPriorityClass(std::uint64_t threadId) {
    ProcessStat stat;
    const std::filesystem::path file =
        std::filesystem::path("/proc/self/task") / std::to_string(threadId) / "stat";
    return ParseProcessStat(ReadText(file), stat) ? PriorityClass(stat.policy, stat.nice)
                                                  : std::string();
}

std::vector<ReportProcess> CollectProcesses() {
    std::vector<ReportProcess> processes;
    std::error_code error;
    const long pageSize = sysconf(_SC_PAGESIZE);
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string id = entry.path().filename().string();
        if (id.empty() || id.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        ProcessStat stat;
        if (!ParseProcessStat(ReadText(entry.path() / "stat"), stat)) {
            continue; // ended meanwhile
        }
        ReportProcess process;
        process.id = std::strtoull(id.c_str(), nullptr, 10);
        process.name = stat.name;
        process.threads = stat.threads;
        process.priority = PriorityClass(stat.policy, stat.nice);
        std::istringstream statm(ReadText(entry.path() / "statm"));
        std::uint64_t size = 0;
        std::uint64_t resident = 0;
        if (statm >> size >> resident) {
            process.memory = resident * static_cast<std::uint64_t>(pageSize);
        }
        std::error_code unreadable;
        const auto executable = std::filesystem::read_symlink(entry.path() / "exe", unreadable);
        if (!unreadable) {
            process.name = executable.filename().string();
            process.folder = FolderOf(executable.string());
        }
        processes.push_back(std::move(process));
    }
    return processes;
}

} // namespace faulttrap
