#include "crashreport/renderings/xml_element.h"

#include <cstdio>

namespace faulttrap {

XmlElement& XmlElement::AddChild(std::string name) {
    children_.push_back(std::make_unique<XmlElement>(std::move(name)));
    children_.back()->parent_ = this;
    return *children_.back();
}

void XmlElement::AddAttribute(std::string_view name, std::string_view value) {
    attributes_ += ' ';
    attributes_ += name;
    attributes_ += "=\"";
    attributes_ += EscapeAttribute(value);
    attributes_ += '"';
}

std::string XmlElement::Serialize(const std::string& indent) const {
    std::string text = indent + "<" + name_ + attributes_;
    if (text_.empty() && children_.empty()) {
        return text + "/>\r\n";
    }
    text += ">" + text_;
    if (!children_.empty()) {
        text += "\r\n";
        for (const auto& child : children_) {
            text += child->Serialize(indent + "  ");
        }
        text += indent;
    }
    return text + "</" + name_ + ">\r\n";
}

namespace {

// The Unicode code points of Windows-1252's bytes 0x80 to 0x9F; 0xFFFD for the five it leaves
// undefined. Every other byte is its own code point.
constexpr unsigned kHighControls[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

unsigned CodePointOf(unsigned char byte) {
    return byte >= 0x80 && byte <= 0x9F ? kHighControls[byte - 0x80] : byte;
}

} // namespace

std::string EscapeAttribute(std::string_view value) {
    std::string escaped;
    escaped.reserve(value.size());
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        const bool allowedControl = byte == 9 || byte == 10 || byte == 13;
        if (byte < 32 && !allowedControl) {
            escaped += ' ';
        } else if (allowedControl || byte == 34 || byte == 38 || byte == 39 || byte == 60 ||
                   byte == 62 || byte >= 127) {
            char reference[16];
            std::snprintf(reference, sizeof reference, "&#%03u;", CodePointOf(byte));
            escaped += reference;
        } else {
            escaped += c;
        }
    }
    return escaped;
}

} // namespace faulttrap
