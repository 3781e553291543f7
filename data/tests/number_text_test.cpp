#include "number_text.h"

#include <gtest/gtest.h>

namespace olvendra::data {
namespace {

TEST(NumberText, ScaledToText) {
    struct Case {
        std::int64_t value;
        int scale;
        const char* text;
    } cases[] = {{1250, 2, "12.5"},
                 {-50, 2, "-0.5"},
                 {-5, 2, "-0.05"},
                 {300, 2, "3"},
                 {0, 2, "0"},
                 {42, 0, "42"},
                 {INT64_MIN, 0, "-9223372036854775808"}};
    for (const Case& c : cases) {
        char buffer[24];
        EXPECT_EQ(ScaledToText(c.value, c.scale, buffer), c.text) << c.value;
    }
}

TEST(NumberText, ParseScaled) {
    struct Case {
        const char* text;
        char separator;
        std::optional<std::int64_t> value;
    } cases[] = {
        {"12,5", ',', 1250},   {"12.5", ',', 1250}, {" -0,05 ", ',', -5},
        {"+3", '.', 300},      {"1.005", '.', 101}, {"1.004", '.', 100},
        {"-1.005", '.', -101}, {"7.", '.', 700},    {",5", ',', 50},
        {"", '.', {}},         {"-", '.', {}},      {"1,2,3", ',', {}},
        {"1e5", '.', {}},      {"12,5", '.', {}},   {"92233720368547758.08", '.', {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseScaled(c.text, 2, c.separator), c.value) << c.text;
    }
}

} // namespace
} // namespace olvendra::data
