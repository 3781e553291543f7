#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace faulttrap {

// The MD5 digest of some bytes, by OpenSSL's libcrypto. The library is loaded on the first
// call, not when the program starts: only reading enciphered names needs it. Raises
// DebugDataError when libcrypto cannot be loaded.
std::array<std::uint8_t, 16> Md5Digest(std::string_view bytes);

// Loads libcrypto now (a preload off the program's start-up path).
void PreloadDigestLibrary();

} // namespace faulttrap
