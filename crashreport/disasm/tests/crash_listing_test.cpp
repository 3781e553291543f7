#include "crashreport/disasm/tests/crash_sample.h"
#include "crashreport/disasm/tests/debug_naming.h"

#include "crashreport/disasm/assembler_listing.h"
#include "crashreport/disasm/operand_text.h"

#include "crashreport/disasm/tests/listing_text.h"

#include <gtest/gtest.h>

#include <csetjmp>
#include <csignal>
#include <cstring>

using namespace faulttrap;

namespace {

sigjmp_buf gResume;
ucontext_t gFaultContext;

void SaveContextAndResume(int, siginfo_t*, void* context) {
    std::memcpy(&gFaultContext, context, sizeof gFaultContext);
    siglongjmp(gResume, 1);
}

// Runs the sample into its fault and returns the processor context saved at the fault.
ucontext_t CrashSample() {
    struct sigaction handler {};
    handler.sa_sigaction = SaveContextAndResume;
    handler.sa_flags = SA_SIGINFO;
    struct sigaction previous {};
    sigaction(SIGSEGV, &handler, &previous);
    if (sigsetjmp(gResume, 1) == 0) {
        SampleCrash(nullptr);
    }
    sigaction(SIGSEGV, &previous, nullptr);
    return gFaultContext;
}

std::size_t LineIndex(const std::vector<std::string>& lines, const std::string& part) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].find(part) != std::string::npos) {
            return i;
        }
    }
    return lines.size();
}

class CrashListing : public ::testing::Test {
protected:
    TDebugNaming naming;
    ucontext_t context = CrashSample();
    std::uint64_t rip = static_cast<std::uint64_t>(context.uc_mcontext.gregs[REG_RIP]);
};

TEST_F(CrashListing, StartsAtTheFaultingProcedureAndMarksTheFault) {
    const std::vector<std::string> listing = AssemblerListing(rip, naming);
    ASSERT_GE(listing.size(), 4u);
    const std::string text = Joined(listing);

    EXPECT_TRUE(listing[0].starts_with("; crash_sample.SampleCrash (Line=")) << text;
    EXPECT_EQ(listing[1], "; " + std::string(listing[0].size() - 2, '-')) << text;

    const std::size_t fault = LineIndex(listing, "<-- EXCEPTION");
    ASSERT_LT(fault, listing.size()) << text;
    EXPECT_TRUE(listing[fault].starts_with(PointerText(rip) + "  mov ")) << text;
    // The store's own line is captioned right above it.
    EXPECT_EQ(listing[fault - 2], "; Line=" + std::to_string(kSampleFaultLine) + " - Offset=2")
        << text;

    const std::size_t call = LineIndex(listing, "call    crash_sample.SampleLog");
    EXPECT_LT(call, fault) << text;
    EXPECT_LT(LineIndex(listing, "; 'sample literal'"), call) << text;
    EXPECT_LT(fault, LineIndex(listing, "; 'after the store'")) << text;
}

TEST_F(CrashListing, AlignsTheCommentsInOneColumn) {
    const std::vector<std::string> listing = AssemblerListing(rip, naming);
    const std::string text = Joined(listing);
    std::size_t column = std::string::npos;
    std::size_t longestCode = 0;
    for (const std::string& line : listing) {
        const std::size_t semicolon = line.find(';');
        longestCode = std::max(longestCode, line.substr(0, semicolon).find_last_not_of(' ') + 1);
        if (semicolon == 0 || semicolon == std::string::npos) {
            continue;
        }
        if (column == std::string::npos) {
            column = semicolon;
        }
        EXPECT_EQ(semicolon, column) << text;
    }
    // Two blanks after the longest code part.
    EXPECT_EQ(column, longestCode + 2) << text;
}

TEST_F(CrashListing, SavedInstructionPointerIsTheFaultingStore) {
    const auto place = naming.SourcePlace(rip);
    ASSERT_TRUE(place);
    EXPECT_EQ(place->Procedure, "SampleCrash");
    EXPECT_EQ(place->Line, kSampleFaultLine);
}

} // namespace
