#pragma once

// Call-stack names that were written enciphered (a unit "?p" and Base64, a procedure or class
// "?" and Base64, pieces joined by ".") read back with the debug-information password.

#include <string>
#include <string_view>

namespace faulttrap {

struct StackNames {
    std::string unit;
    std::string className;
    std::string procedure;
};

// The names deciphered when the unit is enciphered and the password opens them all; otherwise
// (no password, a wrong one) the names as they were. A procedure starting with "@" gets "_".
StackNames DecryptStackNames(const StackNames& stored, std::string_view password);

// Standard Base64 with or without padding; nothing for text that is not Base64.
bool DecodeBase64(std::string_view text, std::string& bytes);

} // namespace faulttrap
