// Decoding and formatting this program's own code, and building the assembler listing of one
// report around an address in it.
#include "crashreport/disasm/assembler_listing.h"
#include "crashreport/disasm/dis_asm.h"

#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <link.h>

#include <cstdint>
#include <span>

namespace {

constexpr std::int64_t kInstructions = 100000;

// The program's first executable segment.
std::span<const std::uint8_t> OwnCode() {
    static std::span<const std::uint8_t> code;
    if (code.empty()) {
        dl_iterate_phdr(
            [](dl_phdr_info* info, std::size_t, void*) {
                for (int i = 0; i < info->dlpi_phnum; ++i) {
                    const ElfW(Phdr)& header = info->dlpi_phdr[i];
                    if (header.p_type == PT_LOAD && (header.p_flags & PF_X) != 0) {
                        code = {
                            reinterpret_cast<const std::uint8_t*>(info->dlpi_addr + header.p_vaddr),
                            header.p_memsz};
                        return 1;
                    }
                }
                return 0;
            },
            nullptr);
    }
    return code;
}

// Names procedures by the program's exported symbols, as debug information would.
class TExportedNaming : public faulttrap::TCodeNaming {
public:
    std::optional<faulttrap::TSourcePlace> SourcePlace(std::uint64_t address) const override {
        Dl_info info;
        if (dladdr(reinterpret_cast<void*>(address), &info) == 0 || info.dli_sname == nullptr) {
            return std::nullopt;
        }
        return faulttrap::TSourcePlace{"disasm_bench.cpp", "", info.dli_sname, 1, 0};
    }
    std::string ObjectClassName(std::uint64_t) const override { return {}; }
};

void DecodeAndFormatOwnCode(benchmark::State& state) {
    const std::span<const std::uint8_t> code = OwnCode();
    const faulttrap::TDisAsm disasm;
    std::size_t offset = 0;
    for (auto _ : state) {
        for (std::int64_t i = 0; i < kInstructions; ++i) {
            if (offset >= code.size()) {
                offset = 0;
            }
            const faulttrap::TDecodedInstruction instruction =
                disasm.Decode(code.subspan(offset), reinterpret_cast<std::uint64_t>(&code[offset]));
            benchmark::DoNotOptimize(instruction.Text.data());
            offset += instruction.Length;
        }
    }
    state.SetItemsProcessed(state.iterations() * kInstructions);
}
BENCHMARK(DecodeAndFormatOwnCode)->Unit(benchmark::kMillisecond);

void ListingForOneReport(benchmark::State& state) {
    const TExportedNaming naming;
    // An address inside a function of this program, as an exception address would be.
    const auto address = reinterpret_cast<std::uint64_t>(&DecodeAndFormatOwnCode) + 40;
    for (auto _ : state) {
        benchmark::DoNotOptimize(faulttrap::AssemblerListing(address, naming));
    }
}
BENCHMARK(ListingForOneReport)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
