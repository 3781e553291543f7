#pragma once

// The running processes, from /proc, in the order the system lists them.

#include "crashreport/report/report_inputs.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace faulttrap {

std::vector<ReportProcess> CollectProcesses();

// The priority class a scheduling policy and nice value stand for: "Real-Time" for the
// real-time policies, else "Low" (nice 11 to 19), "Below-Normal" (1 to 10), "Normal" (0),
// "Above-Normal" (-1 to -10), "High" (-11 to -20).
std::string PriorityClass(int policy, int nice);

// The priority class of thread `threadId` of this process, from its own scheduling policy and
// nice value; empty when the thread has ended or cannot be read.
std::string ThreadPriorityClass(std::uint64_t threadId);

// The fields of /proc/<pid>/stat after the command name: name, nice, threads and policy.
struct ProcessStat {
    std::string name;
    int nice = 0;
    int threads = 0;
    int policy = 0;
};
bool ParseProcessStat(std::string_view stat, ProcessStat& parsed);

} // namespace faulttrap
