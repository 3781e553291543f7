#include "crashreport/debuginfo/byte_io.h"
#include "crashreport/debuginfo/debug_data_error.h"
#include "crashreport/debuginfo/line_step.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace faulttrap {
namespace {

struct StepCase {
    LineStep step;
    std::vector<std::uint8_t> bytes; // worked out by hand from the bit layout of each form
};

class LineStepGolden : public testing::TestWithParam<StepCase> {};

TEST_P(LineStepGolden, EncodesToTheHandDerivedBytesAndBack) {
    const StepCase& c = GetParam();
    ByteWriter out;
    WriteLineStep(out, c.step);
    EXPECT_EQ(out.Bytes(), c.bytes);

    ByteReader in(c.bytes);
    EXPECT_EQ(ReadLineStep(in), c.step);
    EXPECT_TRUE(in.AtEnd());
}

INSTANTIATE_TEST_SUITE_P(
    Forms, LineStepGolden,
    testing::Values(
        // one byte, bit 0 clear: offset-1 in bits 1..5, line-1 in bits 6..7
        StepCase{{1, 1, false}, {0x00}}, StepCase{{4, 32, false}, {0xFE}},
        StepCase{{2, 6, false}, {0x4A}},
        // one byte, bits 0..1 = 01, starts a procedure: offset-1 in bits 2..4, line-1 in 5..7
        StepCase{{2, 3, true}, {0x29}}, StepCase{{8, 8, true}, {0xFD}},
        // two bytes, bits 0..1 = 11, bit 3 clear: offset-1 in bits 4..10, line-1 in 11..15
        StepCase{{1, 33, false}, {0x03, 0x02}}, StepCase{{20, 100, true}, {0x37, 0x9E}},
        StepCase{{5, 1, false}, {0x03, 0x20}},
        // four bytes, bit 3 set: V = D >> 4, line-1 in V's low 16 bits, offset-1 in 16..27
        StepCase{{1, 0, false}, {0x0B, 0x00, 0xF0, 0xFF}},
        StepCase{{1, 0, true}, {0x0F, 0x00, 0xF0, 0xFF}},
        StepCase{{40, 200, false}, {0x7B, 0x02, 0x70, 0x0C}},
        // escape V = 0x0FFEFFFE, then 16-bit line-1 and offset-1
        StepCase{{100, 5000, false}, {0xEB, 0xFF, 0xEF, 0xFF, 0x63, 0x00, 0x87, 0x13}},
        // the one regular four-byte value that would read as the escape must use it
        StepCase{{65535, 4095, false}, {0xEB, 0xFF, 0xEF, 0xFF, 0xFE, 0xFF, 0xFE, 0x0F}},
        StepCase{{65536, 65536, true}, {0xEF, 0xFF, 0xEF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}}));

TEST(LineStep, RejectsAdvancesNoFormCarries) {
    ByteWriter out;
    EXPECT_THROW(WriteLineStep(out, {0, 1, false}), std::invalid_argument);
    EXPECT_THROW(WriteLineStep(out, {65537, 1, false}), std::invalid_argument);
    EXPECT_THROW(WriteLineStep(out, {1, 65537, false}), std::invalid_argument);
}

TEST(LineStep, TruncatedStepsRaiseAClearError) {
    for (const std::vector<std::uint8_t>& bytes :
         {std::vector<std::uint8_t>{}, {0x03}, {0x0B, 0x00}, {0xEB, 0xFF, 0xEF, 0xFF, 0x63}}) {
        ByteReader in(bytes);
        EXPECT_THROW(ReadLineStep(in), DebugDataError);
    }
}

} // namespace
} // namespace faulttrap
