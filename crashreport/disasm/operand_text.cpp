#include "crashreport/disasm/operand_text.h"

namespace faulttrap {

namespace {

std::uint64_t Magnitude(std::int64_t value) {
    // Negating in unsigned arithmetic keeps the most negative value representable.
    return value < 0 ? ~static_cast<std::uint64_t>(value) + 1 : static_cast<std::uint64_t>(value);
}

std::uint64_t LowBytes(std::uint64_t value, unsigned bytes) {
    return bytes >= 8 ? value : value & ((std::uint64_t{1} << (8 * bytes)) - 1);
}

} // namespace

std::string HexDigits(std::uint64_t value, unsigned digits) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    do {
        text.insert(text.begin(), kDigits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    if (text.size() < digits) {
        text.insert(0, digits - text.size(), '0');
    }
    return text;
}

std::string PointerText(std::uint64_t address) {
    return HexDigits(address, 2 * sizeof(void*));
}

std::string UnsignedImmediateText(std::uint64_t value, unsigned bytes) {
    return "$" + HexDigits(LowBytes(value, bytes), 2 * bytes);
}

std::string SignedImmediateText(std::int64_t value, unsigned bytes) {
    return (value < 0 ? "-$" : "+$") + HexDigits(LowBytes(Magnitude(value), bytes), 2 * bytes);
}

std::string WideDisplacementText(std::int64_t value) {
    return (value < 0 ? "-$" : "+$") + HexDigits(Magnitude(value), 4);
}

} // namespace faulttrap
