// A program with a small memory tracker of its own: it records where each block it hands out was
// allocated and, after FaultTrap's finalisation, reports the blocks never given back through the
// leak entry points; a block given back twice is reported as the fault it is.
//
//   leak_tracker <log folder> leaks|no-leaks|double-free

#include "crashreport/intercept/activation.h"
#include "crashreport/intercept/leak_report.h"

#include <execinfo.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

struct TBlock {
    std::string type;
    std::size_t size = 0;
    std::vector<std::uintptr_t> returnAddresses;
};

std::map<void*, TBlock> liveBlocks;

__attribute__((noinline)) void* TrackedAllocate(std::size_t size, const char* type) {
    void* frames[faulttrap::kLeakAddresses + 1];
    const int depth = ::backtrace(frames, static_cast<int>(std::size(frames)));
    TBlock block{type, size, {}};
    for (int i = 1; i < depth; ++i) { // without this function's own frame
        block.returnAddresses.push_back(reinterpret_cast<std::uintptr_t>(frames[i]));
    }
    void* memory = std::malloc(size);
    liveBlocks[memory] = std::move(block);
    return memory;
}

void TrackedFree(void* memory) {
    if (liveBlocks.erase(memory) == 0) {
        faulttrap::RaiseMultiFree();
    }
    std::free(memory);
}

// Blocks of one type allocated at one place make one leak.
void ReportLeaks() {
    std::map<std::pair<std::string, std::vector<std::uintptr_t>>, std::pair<std::size_t, int>>
        leaks;
    for (const auto& [memory, block] : liveBlocks) {
        auto& [size, count] = leaks[{block.type, block.returnAddresses}];
        size += block.size;
        ++count;
    }
    faulttrap::ResetLeaks();
    for (const auto& [place, total] : leaks) {
        faulttrap::AddLeak(place.first, total.first, static_cast<std::uint64_t>(total.second),
                           place.second);
    }
    faulttrap::ShowLeaks();
}

__attribute__((noinline)) void AllocateRecords() {
    for (int i = 0; i < 3; ++i) {
        std::memset(TrackedAllocate(16, "TRecord"), 0, 16); // FAULT: AllocateRecords
    }
}

__attribute__((noinline)) void AllocateBuffer() {
    std::memset(TrackedAllocate(100, "Data"), 0, 100); // FAULT: AllocateBuffer
    TrackedFree(TrackedAllocate(7, "Data"));
}

__attribute__((noinline)) void FreeTwice() {
    void* block = TrackedAllocate(8, "Data");
    TrackedFree(block);
    TrackedFree(block); // FAULT: FreeTwice
    std::puts("given back twice");
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3 || !faulttrap::IsActive()) {
        std::fprintf(stderr, "usage: leak_tracker <log folder> leaks|no-leaks|double-free\n");
        return 2;
    }
    faulttrap::TFaultModuleOptionsEx& options = faulttrap::MainModuleOptions();
    options.SetLogFolder(argv[1]);
    options.SetExceptionDialogType(faulttrap::TFaultDialogType::None);
    const std::string mode = argv[2];
    if (mode == "leaks") {
        AllocateRecords();
        AllocateBuffer();
    } else if (mode == "double-free") {
        FreeTwice();
    }
    // A tracker reports after the program's finalisation.
    faulttrap::Finalise();
    ReportLeaks();
    return 0;
}
