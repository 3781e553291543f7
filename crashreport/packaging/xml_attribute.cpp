#include "crashreport/packaging/xml_attribute.h"

#include <cstdio>

namespace faulttrap {

std::string EscapeXmlAttribute(std::string_view value) {
    std::string escaped;
    escaped.reserve(value.size());
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        const bool special =
            byte < 32 || byte >= 127 || c == '"' || c == '&' || c == '\'' || c == '<' || c == '>';
        if (special) {
            char entity[8];
            std::snprintf(entity, sizeof entity, "&#%03u;", byte);
            escaped += entity;
        } else {
            escaped += c;
        }
    }
    return escaped;
}

} // namespace faulttrap
