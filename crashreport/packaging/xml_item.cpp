#include "xml_item.h"

#include <cstdio>

namespace faulttrap {

TXMLItem& TXMLItems::Add(std::string name) {
    items_.push_back(std::make_unique<TXMLItem>(std::move(name), owner_));
    return *items_.back();
}

TXMLItem::TXMLItem(std::string name, TXMLItem* parent)
    : name_(std::move(name)), parent_(parent),
      indent_(parent != nullptr ? parent->indent_ + "  " : std::string()), children_(this) {}

void TXMLItem::AddAttribute(std::string_view name, std::string_view value) {
    attributes_ += ' ';
    attributes_ += name;
    attributes_ += "=\"";
    attributes_ += EscapeXmlAttribute(value);
    attributes_ += '"';
}

std::string TXMLItem::Serialise() const {
    std::string out;
    SerialiseInto(out, indent_);
    return out;
}

void TXMLItem::SerialiseInto(std::string& out, const std::string& indent) const {
    out += indent;
    out += '<';
    out += name_;
    out += attributes_;
    if (text_.empty() && children_.Count() == 0) {
        out += "/>\r\n";
        return;
    }
    out += '>';
    out += text_;
    if (children_.Count() > 0) {
        out += "\r\n";
        for (std::size_t i = 0; i < children_.Count(); ++i) {
            children_[i].SerialiseInto(out, indent + "  ");
        }
        out += indent;
    }
    out += "</";
    out += name_;
    out += ">\r\n";
}

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
