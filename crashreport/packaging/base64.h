#pragma once

#include "crashreport/text/faulttrap_error.h"

#include <stdexcept>
#include <string>
#include <string_view>

namespace faulttrap {

// Text that is not Base64 of the standard alphabet with "=" padding.
class EBase64Error : public Error {
public:
    using Error::Error;
};

// Standard Base64 ("A"-"Z", "a"-"z", "0"-"9", "+", "/", pad "="), without line breaks: n bytes
// give 4 x ceil(n / 3) characters. The e-mail sender cuts the text into lines itself.
std::string ToBase64(std::string_view bytes);
// The bytes of `text`; throws EBase64Error for a length that is not a multiple of four, a
// character outside the alphabet or padding anywhere but at the end.
std::string FromBase64(std::string_view text);

} // namespace faulttrap
