#pragma once

// How the report's XML form escapes attribute values, for the XML writer (text/xml_element.h).

#include "crashreport/text/xml_element.h"

#include <string>
#include <string_view>

namespace faulttrap {

// An attribute value as character references where XML needs them: the quote, the ampersand,
// the apostrophe, "<", ">", tab, line feed, carriage return and the bytes 127 to 255, each as the
// code point of its Windows-1252 character ("&#034;", "&#8364;" for 0x80). The other control
// bytes cannot appear in XML at all and become blanks.
std::string EscapeAttribute(std::string_view value);

} // namespace faulttrap
