// The assembler listing of one report as the report pipeline makes it: code named through the
// resolver of the call stack, over this program's embedded debug information.
#include "crashreport/intercept/report_resolver.h"
#include "crashreport/intercept/resolver_code_naming.h"

#include "crashreport/disasm/assembler_listing.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>

namespace {

const char* volatile lastStep = nullptr;

__attribute__((noinline)) std::uintptr_t NoteStep(const char* step) {
    lastStep = step;
    return reinterpret_cast<std::uintptr_t>(__builtin_return_address(0));
}

// An address in ordinary code, as an exception address would be: right after a call that
// passes a string literal.
__attribute__((noinline)) std::uintptr_t CodeAddress() {
    const std::uintptr_t address = NoteStep("a step of the program");
    std::printf("%s", lastStep == nullptr ? "never\n" : "");
    return address;
}

// In the report the call stack has loaded the module's debug information already.
void ListingInReport(benchmark::State& state) {
    const faulttrap::TFaultModulesList modules = faulttrap::TFaultModulesList::Current();
    faulttrap::TReportResolver resolver(modules);
    const std::uintptr_t address = CodeAddress();
    if (resolver.Resolve(address).kind != faulttrap::EntryKind::line) {
        state.SkipWithError("the program's code has no line information");
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            faulttrap::AssemblerListing(address, faulttrap::TResolverCodeNaming(resolver)));
    }
}
BENCHMARK(ListingInReport)->Unit(benchmark::kMicrosecond);

// The same with the module list and the debug information loaded for this listing alone.
void ListingWithFreshResolver(benchmark::State& state) {
    const std::uintptr_t address = CodeAddress();
    for (auto _ : state) {
        const faulttrap::TFaultModulesList modules = faulttrap::TFaultModulesList::Current();
        faulttrap::TReportResolver resolver(modules);
        benchmark::DoNotOptimize(
            faulttrap::AssemblerListing(address, faulttrap::TResolverCodeNaming(resolver)));
    }
}
BENCHMARK(ListingWithFreshResolver)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
