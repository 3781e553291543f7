// Reading the forms of a tracker's pages, from 64 KiB to 1 MiB. Each case reports its time per
// page and the fitted complexity: linear means no page can make the readers blow up.
#include "crashreport/trackers/character_references.h"
#include "crashreport/trackers/html_form.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// `piece` repeated to `size` bytes, then `tail`.
std::string PageOf(const std::string& piece, std::size_t size, const std::string& tail = {}) {
    std::string page;
    page.reserve(size + piece.size() + tail.size());
    while (page.size() < size) {
        page += piece;
    }
    return page + tail;
}

void ConfigureSizes(benchmark::internal::Benchmark* bench) {
    bench->RangeMultiplier(4)->Range(64 << 10, 1 << 20)->Complexity(benchmark::oN);
}

// A form of many inputs; the wanted one comes last.
void BM_InputAfterManyInputs(benchmark::State& state) {
    const std::string page =
        PageOf(R"(<input type="hidden" name="field" value="some value">)", state.range(0),
               R"x(<input name="summary" value="[v2.0 - 3]: 1A2B (EAccessViolation)">)x");
    for (auto _ : state) {
        benchmark::DoNotOptimize(faulttrap::InputValue(page, "summary"));
    }
    state.SetComplexityN(state.range(0));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(page.size()));
}
BENCHMARK(BM_InputAfterManyInputs)->Apply(ConfigureSizes);

// One choice list of many options; the wanted label comes last.
void BM_OptionAmongManyOptions(benchmark::State& state) {
    const std::string page = "<select name=\"project_id\">" +
                             PageOf(R"(<option value="3">&raquo; Some project</option>)",
                                    state.range(0), R"(<option value="7">Pharmacy</option>)") +
                             "</select>";
    for (auto _ : state) {
        benchmark::DoNotOptimize(faulttrap::OptionValueByLabel(page, "project_id", "Pharmacy"));
    }
    state.SetComplexityN(state.range(0));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(page.size()));
}
BENCHMARK(BM_OptionAmongManyOptions)->Apply(ConfigureSizes);

// Tags that never end, stray quotes and ampersands everywhere: every reader over the same page.
void BM_HostilePage(benchmark::State& state) {
    const std::string page =
        PageOf("<input <select name=s><option &x'\"<textarea name=s &#", state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(faulttrap::InputValue(page, "s"));
        benchmark::DoNotOptimize(faulttrap::TextareaContent(page, "s"));
        benchmark::DoNotOptimize(faulttrap::OptionValueByLabel(page, "s", "x"));
    }
    state.SetComplexityN(state.range(0));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(page.size()));
}
BENCHMARK(BM_HostilePage)->Apply(ConfigureSizes);

// A label of nothing but ampersands, each tested as a reference.
void BM_AmpersandLabel(benchmark::State& state) {
    const std::string page = "<select name=\"s\"><option value=\"1\">" +
                             PageOf("&", state.range(0)) + "</option></select>";
    for (auto _ : state) {
        benchmark::DoNotOptimize(faulttrap::SelectedValue(page, "s"));
    }
    state.SetComplexityN(state.range(0));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(page.size()));
}
BENCHMARK(BM_AmpersandLabel)->Apply(ConfigureSizes);

// References of every kind, decoded in one text.
void BM_DecodeReferences(benchmark::State& state) {
    const std::string text =
        PageOf("Farm&aacute;cia &amp;lt; &#60;&#x3C; &raquo; ", state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(faulttrap::DecodeCharacterReferences(text));
    }
    state.SetComplexityN(state.range(0));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_DecodeReferences)->Apply(ConfigureSizes);

} // namespace

BENCHMARK_MAIN();
