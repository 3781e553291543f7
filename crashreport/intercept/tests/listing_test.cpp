// A real crash gives a report whose assembler listing begins at the faulting function with its
// line, marks the faulting instruction, names the called function and shows the string an
// operand points at; its CPU section shows the faulting instruction's address as RIP.

#include "crashreport/intercept/tests/crash_run.h"

#include "crashreport/report/log_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace faulttrap::testing {
namespace {

struct ListingCase {
    std::string program;
    std::string literalLoad; // the instruction that passes the literal's address
    std::string password;    // what the program's handler gives for its debug information
};

std::ostream& operator<<(std::ostream& out, const ListingCase& listing) {
    return out << listing.program;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

// The lines of the assembler listing: after the heading and its rule, up to the empty line.
std::vector<std::string> ListingOf(const std::vector<std::string>& report) {
    std::vector<std::string> listing;
    std::size_t i = 0;
    while (i < report.size() && report[i] != "Assembler Information:") {
        ++i;
    }
    for (i += 2; i < report.size() && !report[i].empty(); ++i) {
        listing.push_back(report[i]);
    }
    return listing;
}

std::size_t IndexOf(const std::vector<std::string>& lines, const std::string& part) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].find(part) != std::string::npos) {
            return i;
        }
    }
    return lines.size();
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\n";
    }
    return text;
}

class ListingTest : public ::testing::TestWithParam<ListingCase> {};

// The one report of a run of `program`, its exception address, and the folder it was written to.
struct CrashReport {
    std::filesystem::path folder;
    std::string text; // empty when the run did not leave exactly one report
    std::string address;
};

CrashReport RunToReport(const std::string& program, const std::string& password) {
    CrashReport crash;
    crash.folder = FreshFolder("listing-" + std::filesystem::path(program).stem().string());
    std::vector<std::string> arguments{crash.folder.string() + "/"};
    if (!password.empty()) {
        arguments.push_back(password);
    }
    const CrashRun run = RunProgram(program, arguments);
    EXPECT_FALSE(run.timedOut);
    EXPECT_FALSE(run.leftovers);
    EXPECT_EQ(run.exitCode, 1) << run.errors;
    const auto log = crash.folder / (std::filesystem::path(program).stem().string() + ".ftlog");
    EXPECT_TRUE(std::filesystem::exists(log)) << run.output << run.errors;
    if (!std::filesystem::exists(log)) {
        return crash;
    }
    const TLogFile file(log, LogFileAccess::ReadOnly);
    EXPECT_EQ(file.Count(), 1);
    if (file.Count() == 1) {
        crash.text = file.Report(0);
        crash.address = file.ReadItem(0, "2.2").value_or("");
    }
    return crash;
}

TEST_P(ListingTest, RealCrashShowsTheFaultingCodeAndItsRegisters) {
    const CrashReport crash = RunToReport(GetParam().program, GetParam().password);
    ASSERT_FALSE(crash.text.empty());
    const std::string& address = crash.address;
    ASSERT_EQ(address.size(), 16u) << address;
    const std::vector<std::string> report = SplitLines(crash.text);
    const std::vector<std::string> listing = ListingOf(report);
    const std::string text = Joined(listing);
    ASSERT_GE(listing.size(), 6u) << crash.text;

    // The listing begins with the faulting function, captioned with its unit and first line.
    EXPECT_TRUE(listing[0].starts_with("; listing_crash.StoreThroughNull (Line=")) << text;
    EXPECT_EQ(listing[1], "; " + std::string(listing[0].size() - 2, '-')) << text;

    // The faulting store, under the caption of its own line.
    const std::size_t fault = IndexOf(listing, "<-- EXCEPTION");
    ASSERT_LT(fault, listing.size()) << text;
    EXPECT_TRUE(listing[fault].starts_with(address + "  mov ")) << text;
    std::size_t caption = fault;
    while (caption > 0 && !listing[caption].starts_with("; ")) {
        --caption;
    }
    // Its offset counts from the procedure's first line, given in the first caption.
    const int faultLine = MarkedLine(LISTING_CRASH_SOURCE, "StoreThroughNull");
    const int firstLine = std::atoi(listing[0].c_str() + listing[0].find("(Line=") + 6);
    EXPECT_EQ(listing[caption - 1], "; Line=" + std::to_string(faultLine) +
                                        " - Offset=" + std::to_string(faultLine - firstLine))
        << text;

    // Before it: the literal handed to the call, and the called function by name.
    const std::size_t call = IndexOf(listing, "call    listing_crash.NoteStep");
    EXPECT_LT(call, fault) << text;
    const std::size_t literal = IndexOf(listing, "; 'before the store'");
    EXPECT_LT(literal, call) << text;
    ASSERT_LT(literal, listing.size()) << text;
    EXPECT_NE(listing[literal].find("  " + GetParam().literalLoad + " "), std::string::npos)
        << text;

    // The heading's rule is as long as the longest listing line.
    std::size_t longest = 0;
    for (const std::string& line : listing) {
        longest = std::max(longest, line.size());
    }
    const std::size_t heading = IndexOf(report, "Assembler Information:");
    EXPECT_EQ(report[heading + 1], std::string(longest, '-'));

    // The saved context: RIP is the exception address, and the dump shows the code there.
    EXPECT_LT(IndexOf(report, "   RIP: " + address), report.size()) << crash.text;
    EXPECT_LT(IndexOf(report, "   " + address + ": "), report.size()) << crash.text;
    std::filesystem::remove_all(crash.folder);
}

// A position-independent program loads the literal's address relative to the instruction
// pointer; one linked at a fixed address moves it as a 32-bit immediate. Encrypted debug
// information names the same once the program's handler gives its password.
INSTANTIATE_TEST_SUITE_P(Programs, ListingTest,
                         ::testing::Values(ListingCase{LISTING_CRASH_PROGRAM, "lea", ""},
                                           ListingCase{LISTING_CRASH_FIXED_PROGRAM, "mov", ""},
                                           ListingCase{LISTING_CRASH_ENCRYPTED_PROGRAM, "lea",
                                                       "listing secret"}));

TEST(ListingTest, EncryptedDebugInformationWithoutItsPasswordShowsNoNames) {
    for (const std::string password : {"", "wrong"}) {
        SCOPED_TRACE("password '" + password + "'");
        const CrashReport crash = RunToReport(LISTING_CRASH_ENCRYPTED_PROGRAM, password);
        ASSERT_FALSE(crash.text.empty());
        const std::string& report = crash.text;
        EXPECT_EQ(report.find("StoreThroughNull"), std::string::npos) << report;
        // Unit names read "?p" and the Base64 form of their encrypted bytes.
        const std::vector<std::string> listing = ListingOf(SplitLines(report));
        ASSERT_FALSE(listing.empty()) << report;
        EXPECT_TRUE(listing[0].starts_with("; ?p")) << Joined(listing);
        std::filesystem::remove_all(crash.folder);
    }
}

} // namespace
} // namespace faulttrap::testing
