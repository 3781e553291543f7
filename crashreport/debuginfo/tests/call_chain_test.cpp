#include "crashreport/debuginfo/tests/call_chain.h"

#include "crashreport/debuginfo/call_site.h"
#include "crashreport/debuginfo/resolver.h"
#include "crashreport/debuginfo/stack_scan.h"

#include <gtest/gtest.h>

#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <unwind.h>

#include <iomanip>
#include <iostream>
#include <memory>
#include <sstream>

namespace faulttrap {
namespace {

using testing_chain::ChainRecord;

std::uintptr_t StackTopOfThisThread() {
    pthread_attr_t attributes;
    pthread_getattr_np(pthread_self(), &attributes);
    void* base = nullptr;
    std::size_t size = 0;
    pthread_attr_getstack(&attributes, &base, &size);
    pthread_attr_destroy(&attributes);
    return reinterpret_cast<std::uintptr_t>(base) + size;
}

struct Captured {
    ChainRecord chain;
    TFaultStackList stack;
    std::vector<std::uintptr_t> unwound; // the unwinder's return addresses, innermost first
    AddressResolver* resolver = nullptr;
};

Captured* current = nullptr;

_Unwind_Reason_Code NoteFrame(_Unwind_Context* context, void* addresses) {
    if (const _Unwind_Ptr address = _Unwind_GetIP(context)) {
        static_cast<std::vector<std::uintptr_t>*>(addresses)->push_back(address);
    }
    return _URC_NO_REASON;
}

void CaptureStack(std::uintptr_t stackPointer) {
    _Unwind_Backtrace(NoteFrame, &current->unwound);
    StackScanRequest request;
    request.stackPointer = stackPointer;
    request.stackTop = StackTopOfThisThread();
    request.threadId = static_cast<std::uint32_t>(::syscall(SYS_gettid));
    current->stack = BuildCallStack(request, *current->resolver);
}

// The record is kept off the stack: the return addresses it notes would otherwise be found
// by the scan as stale frames of the test's own making.
Captured RunChain(AddressResolver& resolver) {
    auto captured = std::make_unique<Captured>();
    captured->resolver = &resolver;
    current = captured.get();
    testing_chain::RunCallChain(captured->chain, CaptureStack);
    current = nullptr;
    return std::move(*captured);
}

// Every true frame (a noted call) is found at its call instruction (E8 rel32, 5 bytes
// before the return address) and resolves to this chain's file, caller and call line.
void ExpectTrueFramesResolved(const Captured& captured) {
    for (std::size_t slot = 0; slot < 3; ++slot) {
        const std::uintptr_t callSite = captured.chain.returnAddresses[slot] - 5;
        const auto found = std::find_if(
            captured.stack.begin(), captured.stack.end(), [&](const TFaultStackEntry& e) {
                return e.address == callSite && e.kind != EntryKind::unknown;
            });
        ASSERT_NE(found, captured.stack.end()) << "frame " << slot << " missing";
        EXPECT_EQ(found->kind, EntryKind::line);
        EXPECT_EQ(found->unitName, "call_chain.cpp");
        EXPECT_EQ(found->procedureName, captured.chain.callers[slot]);
        EXPECT_EQ(found->lineNumber, static_cast<std::uint32_t>(captured.chain.callLines[slot]));
        EXPECT_EQ(found->threadStackMark, 1);
        EXPECT_EQ(found->exceptionMark, 0);
        ASSERT_NE(found->module, nullptr);
        EXPECT_TRUE(found->module->isMainProgram);
    }
}

TEST(CallChain, TrueFramesResolveThroughTheEmbeddedContainer) {
    const TFaultModulesList modules = TFaultModulesList::Current();
    AddressResolver resolver(modules);
    const Captured captured = RunChain(resolver);
    const TFaultModuleInfo* program = modules.Find(captured.chain.returnAddresses[0]);
    ASSERT_NE(program, nullptr);
    const ModuleDebugData* data = resolver.ModuleData(*program);
    ASSERT_NE(data, nullptr) << "the test program carries no container";
    EXPECT_TRUE(data->passwordValid);
    EXPECT_EQ(data->data.version, 6006);
    ExpectTrueFramesResolved(captured);

    // The procedures the chain calls directly are listed too, and the scanner's own frames
    // are hidden.
    for (const char* called : {"Outer", "Middle", "Innermost"}) {
        EXPECT_TRUE(std::any_of(captured.stack.begin(), captured.stack.end(), [&](const auto& e) {
            return e.procedureName == called;
        })) << called;
    }
    for (const TFaultStackEntry& entry : captured.stack) {
        EXPECT_NE(entry.unitName, "stack_scan.cpp");
    }

    std::size_t shown = 0;
    for (const TFaultStackEntry& entry : captured.stack) {
        shown += entry.kind != EntryKind::unknown;
    }
    RecordProperty("entries", static_cast<int>(captured.stack.size()));
    RecordProperty("shown", static_cast<int>(shown));
}

TEST(CallChain, TrueFramesResolveThroughDwarf) {
    const TFaultModulesList modules = TFaultModulesList::Current();
    AddressResolver resolver(modules);
    resolver.SetUseContainers(false);
    ExpectTrueFramesResolved(RunChain(resolver));
}

TEST(CallChain, DirectDwarfSourceAgreesWithTheContainer) {
    const TFaultModulesList modules = TFaultModulesList::Current();
    AddressResolver viaContainer(modules);
    const Captured captured = RunChain(viaContainer);
    const TFaultModuleInfo* program = modules.Find(captured.chain.returnAddresses[0]);
    ASSERT_NE(program, nullptr);
    const auto dwarf = DwarfSource::Open(program->path);
    ASSERT_TRUE(dwarf);
    for (const TFaultStackEntry& entry : captured.stack) {
        // A caller's row of inlined code stands at its call's line, not the address's.
        if (entry.kind != EntryKind::line || entry.module != program || entry.inlineLevel > 0) {
            continue;
        }
        const auto place = dwarf->Find(entry.address - program->CodeStart());
        ASSERT_TRUE(place);
        EXPECT_EQ(place->line, entry.lineNumber) << std::hex << entry.address;
        EXPECT_EQ(place->unit, entry.unitName) << std::hex << entry.address;
    }
}

TEST(CallChain, WithoutResolutionEntriesNameTheModuleOnly) {
    const TFaultModulesList modules = TFaultModulesList::Current();
    AddressResolver resolver(modules);
    const Captured captured = RunChain(resolver);
    const TFaultStackEntry entry = resolver.Resolve(captured.chain.returnAddresses[0], false);
    EXPECT_EQ(entry.kind, EntryKind::module);
    EXPECT_TRUE(entry.procedureName.empty());
    EXPECT_EQ(resolver.Resolve(0x10).kind, EntryKind::unknown);
}

// The unwinder's frames from the one the chain's innermost call left: exactly the frames
// whose return addresses lie in the part of the stack the scan reads.
std::vector<std::uintptr_t> TrueReturnAddresses(const Captured& captured) {
    const auto first = std::find(captured.unwound.begin(), captured.unwound.end(),
                                 captured.chain.returnAddresses[2]);
    return {first, captured.unwound.end()};
}

// The shown entries of a scan sorted out against the true chain.
struct ScanAccuracy {
    std::size_t shown = 0;
    std::size_t trueFrames = 0;
    std::size_t calledProcedures = 0; // the procedure a true frame calls, listed before it
    std::vector<const TFaultStackEntry*> spurious;
};

// Every true frame must appear, at its call instruction, after the previous one.
ScanAccuracy MeasureAgainst(const TFaultStackList& stack,
                            const std::vector<std::uintptr_t>& trueAddresses) {
    std::vector<const TFaultStackEntry*> shown;
    for (const TFaultStackEntry& entry : stack) {
        if (entry.kind != EntryKind::unknown) {
            shown.push_back(&entry);
        }
    }
    std::vector<bool> accounted(shown.size());
    ScanAccuracy accuracy;
    accuracy.shown = shown.size();
    std::size_t from = 0;
    for (const std::uintptr_t returnAddress : trueAddresses) {
        const std::optional<CallSite> call = CallSiteBefore(returnAddress);
        if (!call) {
            ADD_FAILURE() << "no call before the true return address " << std::hex << returnAddress;
            continue;
        }
        const auto found = std::find_if(shown.begin() + static_cast<long>(from), shown.end(),
                                        [&](const auto* e) { return e->address == call->address; });
        if (found == shown.end()) {
            ADD_FAILURE() << "true frame at " << std::hex << call->address
                          << " missing or out of order";
            continue;
        }
        const auto index = static_cast<std::size_t>(found - shown.begin());
        accounted[index] = true;
        ++accuracy.trueFrames;
        const auto called = call->target ? CalledProcedure(*call->target) : std::nullopt;
        if (called && index > from && shown[index - 1]->address == *called) {
            accounted[index - 1] = true;
            ++accuracy.calledProcedures;
        }
        from = index + 1;
    }
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (!accounted[i]) {
            accuracy.spurious.push_back(shown[i]);
        }
    }
    return accuracy;
}

std::string Describe(const TFaultStackEntry& entry) {
    std::ostringstream text;
    text << std::hex << entry.address << std::dec << " kind " << static_cast<int>(entry.kind) << " "
         << (entry.module ? entry.module->path : std::string("?")) << " " << entry.unitName << " "
         << entry.procedureName << ":" << entry.lineNumber;
    return text.str();
}

// What the repeat hiding leaves shown: no named entry is followed, among the next two named
// entries of its module, by one with its address.
void ExpectNoRepeatsLeftShown(const TFaultStackList& stack) {
    // The rows of an address's inlined callers share its address and stand with it.
    const auto named = [](const TFaultStackEntry& e) {
        return e.kind >= EntryKind::procedure && e.inlineLevel == 0;
    };
    for (std::size_t i = 0; i < stack.size(); ++i) {
        if (!named(stack[i])) {
            continue;
        }
        std::size_t ahead = 0;
        for (std::size_t j = i + 1; j < stack.size() && ahead < 2; ++j) {
            if (!named(stack[j]) || stack[j].module != stack[i].module) {
                continue;
            }
            ++ahead;
            EXPECT_NE(stack[j].address, stack[i].address)
                << "repeat left shown: " << Describe(stack[i]);
        }
    }
}

TEST(CallChain, ScanFindsTheUnwindersChainInOrderAndReportsWhatItAdds) {
    const TFaultModulesList modules = TFaultModulesList::Current();
    AddressResolver resolver(modules);
    const Captured captured = RunChain(resolver);
    const std::vector<std::uintptr_t> truth = TrueReturnAddresses(captured);
    // The chain's three calls, the test's call into it, and the frames down to the start.
    ASSERT_GE(truth.size(), 5u);
    const ScanAccuracy accuracy = MeasureAgainst(captured.stack, truth);
    ExpectNoRepeatsLeftShown(captured.stack);

    const double spuriousShare =
        accuracy.shown ? static_cast<double>(accuracy.spurious.size()) / accuracy.shown : 0.0;
    std::cout << "stack scan against the unwinder: " << truth.size() << " true frames, "
              << accuracy.shown << " entries shown (" << captured.stack.size() - accuracy.shown
              << " repeats hidden): " << accuracy.trueFrames << " true, "
              << accuracy.calledProcedures << " called procedures, " << accuracy.spurious.size()
              << " spurious (" << std::fixed << std::setprecision(1) << 100 * spuriousShare
              << "%)\n";
    for (const TFaultStackEntry* entry : accuracy.spurious) {
        std::cout << "  spurious: " << Describe(*entry) << "\n";
    }
    RecordProperty("true_frames", static_cast<int>(truth.size()));
    RecordProperty("shown", static_cast<int>(accuracy.shown));
    RecordProperty("spurious", static_cast<int>(accuracy.spurious.size()));
}

} // namespace
} // namespace faulttrap
