#include "number_text.h"

#include <limits>

namespace olvendra::data {

std::string_view ScaledToText(std::int64_t value, int scale, char* buffer) {
    char digits[24];
    bool negative = value < 0;
    std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    int fraction = scale > 0 ? scale : 0;
    while (count <= fraction) {
        digits[count++] = '0';
    }
    int firstKept = 0;
    while (firstKept < fraction && digits[firstKept] == '0') {
        ++firstKept;
    }
    char* out = buffer;
    if (negative) {
        *out++ = '-';
    }
    for (int i = count - 1; i >= fraction; --i) {
        *out++ = digits[i];
    }
    if (firstKept < fraction) {
        *out++ = '.';
        for (int i = fraction - 1; i >= firstKept; --i) {
            *out++ = digits[i];
        }
    }
    return {buffer, static_cast<std::size_t>(out - buffer)};
}

std::optional<std::int64_t> ParseScaled(std::string_view text, int scale, char separator) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    constexpr std::uint64_t limit = std::numeric_limits<std::int64_t>::max();
    std::uint64_t magnitude = 0;
    int digits = 0, fractionDigits = 0;
    bool inFraction = false, beyondScale = false, roundUp = false;
    for (char c : text) {
        if ((c == '.' || c == separator) && !inFraction) {
            inFraction = true;
            continue;
        }
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        ++digits;
        if (inFraction && fractionDigits == scale) {
            // Only the first digit past the scale decides the rounding.
            if (!beyondScale) {
                roundUp = c >= '5';
            }
            beyondScale = true;
            continue;
        }
        if (inFraction) {
            ++fractionDigits;
        }
        if (magnitude > (limit - (c - '0')) / 10) {
            return std::nullopt;
        }
        magnitude = magnitude * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (digits == 0) {
        return std::nullopt;
    }
    for (int i = fractionDigits; i < scale; ++i) {
        if (magnitude > limit / 10) {
            return std::nullopt;
        }
        magnitude *= 10;
    }
    if (roundUp) {
        if (magnitude == limit) {
            return std::nullopt;
        }
        ++magnitude;
    }
    auto value = static_cast<std::int64_t>(magnitude);
    return negative ? -value : value;
}

} // namespace olvendra::data
