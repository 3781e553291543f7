// The start-up time FaultTrap adds to a program: a whole process of a program that does nothing,
// started and waited for, without FaultTrap (TRIVIAL_PLAIN), with it linked but no data embedded
// (TRIVIAL_INACTIVE) and with it linked and its data embedded (TRIVIAL_FAULTTRAP). Plain to
// inactive is what loading the library costs; inactive to embedded its activation and
// finalisation.

#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>

extern char** environ;

namespace {

void StartAndWait(benchmark::State& state, const char* program) {
    char* arguments[] = {const_cast<char*>(program), nullptr};
    for (auto _ : state) {
        pid_t child = 0;
        if (::posix_spawn(&child, program, nullptr, nullptr, arguments, environ) != 0) {
            state.SkipWithError("cannot start the program");
            return;
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("the program failed");
            return;
        }
    }
}

BENCHMARK_CAPTURE(StartAndWait, plain, TRIVIAL_PLAIN)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(StartAndWait, inactive, TRIVIAL_INACTIVE)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(StartAndWait, faulttrap, TRIVIAL_FAULTTRAP)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

BENCHMARK_MAIN();
