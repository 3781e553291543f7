#include "portuguese_order.h"

#include <array>
#include <cstdint>

namespace olvendra::data {

namespace {

// The weight of every Windows-1252 byte: equal weights compare equal. The control characters
// weigh least, then the space and the signs. Letters weigh by their base letter (a, á, à, â, ã, ä,
// å, æ, ª and A alike; ç with c; ð with d; ñ with n; º, ° and ø with o; ß with s; þ with t; ý and ÿ
// with y); the superscript digits and the fractions weigh as the digit they begin with; every other
// sign has a weight of its own.
constexpr std::array<std::uint8_t, 256> Weight = {{
    1,   2,   3,   4,   5,   6,   7,   8,   9,   10,  11,  12,  13,  14,  15,  16,  17,  18,  19,
    20,  21,  22,  23,  24,  25,  26,  27,  28,  29,  30,  31,  32,  33,  34,  35,  36,  37,  38,
    39,  40,  41,  42,  43,  44,  45,  46,  47,  48,  49,  50,  51,  52,  53,  54,  55,  56,  57,
    58,  59,  60,  61,  62,  63,  64,  65,  66,  67,  68,  69,  70,  71,  72,  73,  74,  75,  76,
    77,  78,  79,  80,  81,  82,  83,  84,  85,  86,  87,  88,  89,  90,  91,  92,  93,  94,  95,
    96,  97,  66,  67,  68,  69,  70,  71,  72,  73,  74,  75,  76,  77,  78,  79,  80,  81,  82,
    83,  84,  85,  86,  87,  88,  89,  90,  91,  98,  99,  100, 101, 102, 103, 104, 105, 106, 107,
    108, 109, 110, 111, 112, 113, 114, 115, 116, 117, 118, 119, 120, 121, 122, 123, 124, 125, 126,
    127, 128, 129, 130, 131, 132, 133, 134, 135, 136, 137, 138, 139, 140, 141, 142, 143, 144, 66,
    145, 146, 147, 148, 149, 80,  150, 51,  52,  151, 152, 153, 154, 155, 50,  80,  156, 50,  50,
    52,  157, 66,  66,  66,  66,  66,  66,  66,  68,  70,  70,  70,  70,  74,  74,  74,  74,  69,
    79,  80,  80,  80,  80,  80,  158, 80,  86,  86,  86,  86,  90,  85,  84,  66,  66,  66,  66,
    66,  66,  66,  68,  70,  70,  70,  70,  74,  74,  74,  74,  69,  79,  80,  80,  80,  80,  80,
    159, 80,  86,  86,  86,  86,  90,  85,  90,
}};

// Trailing spaces are not part of a text's value.
std::string_view WithoutTrailingSpaces(std::string_view text) {
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace

int ComparePortuguese(std::string_view a, std::string_view b) {
    a = WithoutTrailingSpaces(a);
    b = WithoutTrailingSpaces(b);
    const std::size_t common = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < common; ++i) {
        const std::uint8_t x = Weight[static_cast<unsigned char>(a[i])];
        const std::uint8_t y = Weight[static_cast<unsigned char>(b[i])];
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    // A text comes after every text it begins with.
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

} // namespace olvendra::data
