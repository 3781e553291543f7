#pragma once

// How the report package's XML copy escapes attribute values, for the XML writer
// (text/xml_element.h).

#include "crashreport/text/xml_element.h"

#include <string>
#include <string_view>

namespace faulttrap {

// Bytes 0-31, '"', '&', '\'', '<', '>' and 127-255 become "&#NNN;" with three decimal digits.
std::string EscapeXmlAttribute(std::string_view value);

} // namespace faulttrap
