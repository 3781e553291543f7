#pragma once

#include <cstdint>
#include <string>

namespace faulttrap {

// Upper-case hexadecimal digits of `value`, zero-padded to at least `digits` characters.
std::string HexDigits(std::uint64_t value, unsigned digits);

// An address as pointer-sized upper-case hexadecimal (16 digits on x86-64).
std::string PointerText(std::uint64_t address);

// An unsigned immediate: "$" and two digits per byte of its encoded size, most significant first.
std::string UnsignedImmediateText(std::uint64_t value, unsigned bytes);

// A signed immediate, an 8-bit displacement or a relative branch offset: "+$" or "-$" and the
// magnitude with two digits per byte of its encoded size.
std::string SignedImmediateText(std::int64_t value, unsigned bytes);

// A 16- or 32-bit displacement after a base or index register: the sign, "$" and the magnitude
// with at least four digits.
std::string WideDisplacementText(std::int64_t value);

} // namespace faulttrap
