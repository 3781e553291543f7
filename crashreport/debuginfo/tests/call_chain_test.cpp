#include "call_chain.h"

#include "debuginfo/resolver.h"
#include "debuginfo/stack_scan.h"

#include <gtest/gtest.h>

#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace faulttrap {
namespace {

using testing_chain::ChainRecord;

std::uintptr_t stackTopOfThisThread() {
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
    AddressResolver* resolver = nullptr;
};

Captured* current = nullptr;

void captureStack(std::uintptr_t stackPointer) {
    StackScanRequest request;
    request.stackPointer = stackPointer;
    request.stackTop = stackTopOfThisThread();
    request.threadId = static_cast<std::uint32_t>(::syscall(SYS_gettid));
    current->stack = buildCallStack(request, *current->resolver);
}

Captured runChain(AddressResolver& resolver) {
    Captured captured;
    captured.resolver = &resolver;
    current = &captured;
    testing_chain::runCallChain(captured.chain, captureStack);
    current = nullptr;
    return captured;
}

// Every true frame (a noted call) is found at its call instruction (E8 rel32, 5 bytes
// before the return address) and resolves to this chain's file, caller and call line.
void expectTrueFramesResolved(const Captured& captured) {
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
    const TFaultModulesList modules = TFaultModulesList::current();
    AddressResolver resolver(modules);
    const Captured captured = runChain(resolver);
    const TFaultModuleInfo* program = modules.find(captured.chain.returnAddresses[0]);
    ASSERT_NE(program, nullptr);
    const ModuleDebugData* data = resolver.moduleData(*program);
    ASSERT_NE(data, nullptr) << "the test program carries no container";
    EXPECT_TRUE(data->passwordValid);
    EXPECT_EQ(data->data.version, 6006);
    expectTrueFramesResolved(captured);

    // The procedures the chain calls directly are listed too, and the scanner's own frames
    // are hidden.
    for (const char* called : {"outer", "middle", "innermost"})
        EXPECT_TRUE(std::any_of(captured.stack.begin(), captured.stack.end(), [&](const auto& e) {
            return e.procedureName == called;
        })) << called;
    for (const TFaultStackEntry& entry : captured.stack)
        EXPECT_NE(entry.unitName, "stack_scan.cpp");

    std::size_t shown = 0;
    for (const TFaultStackEntry& entry : captured.stack)
        shown += entry.kind != EntryKind::unknown;
    RecordProperty("entries", static_cast<int>(captured.stack.size()));
    RecordProperty("shown", static_cast<int>(shown));
}

TEST(CallChain, TrueFramesResolveThroughDwarf) {
    const TFaultModulesList modules = TFaultModulesList::current();
    AddressResolver resolver(modules);
    resolver.setUseContainers(false);
    expectTrueFramesResolved(runChain(resolver));
}

TEST(CallChain, DirectDwarfSourceAgreesWithTheContainer) {
    const TFaultModulesList modules = TFaultModulesList::current();
    AddressResolver viaContainer(modules);
    const Captured captured = runChain(viaContainer);
    const TFaultModuleInfo* program = modules.find(captured.chain.returnAddresses[0]);
    ASSERT_NE(program, nullptr);
    const auto dwarf = DwarfSource::open(program->path);
    ASSERT_TRUE(dwarf);
    for (const TFaultStackEntry& entry : captured.stack) {
        if (entry.kind != EntryKind::line || entry.module != program)
            continue;
        const auto place = dwarf->find(entry.address - program->codeStart());
        ASSERT_TRUE(place);
        EXPECT_EQ(place->line, entry.lineNumber) << std::hex << entry.address;
        EXPECT_EQ(place->unit, entry.unitName) << std::hex << entry.address;
    }
}

TEST(CallChain, WithoutResolutionEntriesNameTheModuleOnly) {
    const TFaultModulesList modules = TFaultModulesList::current();
    AddressResolver resolver(modules);
    const Captured captured = runChain(resolver);
    const TFaultStackEntry entry = resolver.resolve(captured.chain.returnAddresses[0], false);
    EXPECT_EQ(entry.kind, EntryKind::module);
    EXPECT_TRUE(entry.procedureName.empty());
    EXPECT_EQ(resolver.resolve(0x10).kind, EntryKind::unknown);
}

} // namespace
} // namespace faulttrap
