// Resolving addresses of this very program through its embedded container against libdw
// reading the same program's DWARF, warm (sources loaded, then 10,000 lookups) and cold
// (a new resolver and the lookups of one deep call stack), in one run; and the container's
// size against the DWARF sections it is made from.
#include "crashreport/debuginfo/debug_index.h"
#include "crashreport/debuginfo/elf_section.h"
#include "crashreport/debuginfo/module_list.h"
#include "crashreport/debuginfo/resolver.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace faulttrap;

constexpr std::size_t warmLookups = 10000;
constexpr std::size_t coldLookups = 40; // the frames of a deep call stack

enum class Source { container, libdw };

const TFaultModulesList& Modules() {
    static const TFaultModulesList list = TFaultModulesList::Current();
    return list;
}

const TFaultModuleInfo& Program() {
    for (const auto& module : Modules().Modules()) {
        if (module->isMainProgram) {
            return *module;
        }
    }
    throw std::runtime_error("the program is not in its own module list");
}

std::unique_ptr<AddressResolver> newResolver(Source source) {
    auto resolver = std::make_unique<AddressResolver>(Modules());
    resolver->SetHideOwnUnits(false); // the library's own code is most of this program
    resolver->SetUseContainers(source == Source::container);
    return resolver;
}

// Run-time addresses spread over the program's code that has line information: a random
// line range of the container, a random byte in it. The seed is fixed, so every run and
// both sources get the same addresses.
const std::vector<std::uintptr_t>& addresses() {
    static const std::vector<std::uintptr_t> chosen = [] {
        AddressResolver resolver(Modules());
        const ModuleDebugData* data = resolver.ModuleData(Program());
        if (!data || !data->index) {
            throw std::runtime_error(Program().path + " carries no debug information");
        }
        const NameCipher cipher("");
        const DebugIndex all(DecodeDebugInfo(data->index->Information(), {&cipher, false, true}));
        const auto& ranges = all.Ranges();
        if (ranges.empty()) {
            throw std::runtime_error(Program().path + " carries no line ranges");
        }
        std::mt19937_64 random(20240601);
        std::uniform_int_distribution<std::size_t> anyRange(0, ranges.size() - 1);
        std::vector<std::uintptr_t> result;
        while (result.size() < warmLookups) {
            const DebugIndex::Range& range = ranges[anyRange(random)];
            std::uniform_int_distribution<std::uint64_t> anyByte(range.begin, range.end - 1);
            result.push_back(Program().CodeStart() + anyByte(random));
        }
        return result;
    }();
    return chosen;
}

void BM_Warm(benchmark::State& state, Source source) {
    const auto resolver = newResolver(source);
    resolver->Resolve(addresses().front()); // loads the program's sources
    for (auto _ : state) {
        for (const std::uintptr_t address : addresses()) {
            benchmark::DoNotOptimize(resolver->Resolve(address));
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(warmLookups));
}

void BM_Cold(benchmark::State& state, Source source) {
    for (auto _ : state) {
        const auto resolver = newResolver(source);
        for (std::size_t i = 0; i < coldLookups; ++i) {
            benchmark::DoNotOptimize(resolver->Resolve(addresses()[i]));
        }
    }
}

BENCHMARK_CAPTURE(BM_Warm, container, Source::container)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Warm, libdw, Source::libdw)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Cold, container, Source::container)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Cold, libdw, Source::libdw)->Unit(benchmark::kMicrosecond);

// The console table, then how much faster the container is than libdw (by the median when
// repeated).
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration || run.aggregate_name == "median") {
                times_[run.run_name.str()] = run.GetAdjustedRealTime();
            }
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        printRatio("warm", "BM_Warm", 10.0);
        printRatio("cold", "BM_Cold", 1.0);
    }

private:
    void printRatio(const char* label, const std::string& benchmark, double goal) const {
        const auto ours = times_.find(benchmark + "/container");
        const auto theirs = times_.find(benchmark + "/libdw");
        if (ours == times_.end() || theirs == times_.end() || ours->second <= 0) {
            return;
        }
        const double ratio = theirs->second / ours->second;
        std::printf("%s: libdw takes %.2fx the container's time (goal: more than %.0fx) %s\n",
                    label, ratio, goal, ratio > goal ? "met" : "MISSED");
    }

    std::map<std::string, double> times_;
};

std::size_t sectionSize(const std::string& path, const char* section) {
    const auto bytes = ReadElfSection(path, section);
    return bytes ? bytes->size() : 0;
}

void printSizes() {
    const std::string& path = Program().path;
    const std::size_t container = sectionSize(path, ".ftdata");
    const std::size_t line = sectionSize(path, ".debug_line");
    const std::size_t info = sectionSize(path, ".debug_info");
    const double share = line + info ? 100.0 * static_cast<double>(container) / (line + info) : 0;
    std::printf("container %zu bytes = %.1f%% of .debug_line %zu + .debug_info %zu bytes "
                "(goal: at most 15%%) %s\n",
                container, share, line, info, share <= 15.0 ? "met" : "MISSED");
}

// Both sources must tell the same file and line, or the race is not a fair one.
void printAgreement() {
    const auto ours = newResolver(Source::container);
    const auto theirs = newResolver(Source::libdw);
    std::size_t same = 0;
    for (const std::uintptr_t address : addresses()) {
        const TFaultStackEntry a = ours->Resolve(address);
        const TFaultStackEntry b = theirs->Resolve(address);
        same += a.unitName == b.unitName && a.lineNumber == b.lineNumber;
    }
    std::printf("%zu of %zu addresses resolve to the same file and line through both\n", same,
                addresses().size());
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    printSizes();
    printAgreement();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
