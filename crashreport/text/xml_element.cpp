#include "crashreport/text/xml_element.h"

namespace faulttrap {

XmlElement& XmlElement::AddChild(std::string name) {
    children_.push_back(std::make_unique<XmlElement>(std::move(name), escape_));
    children_.back()->parent_ = this;
    return *children_.back();
}

void XmlElement::AddAttribute(std::string_view name, std::string_view value) {
    attributes_ += ' ';
    attributes_ += name;
    attributes_ += "=\"";
    attributes_ += escape_(value);
    attributes_ += '"';
}

std::string XmlElement::Indent() const {
    std::string indent;
    for (const XmlElement* above = parent_; above != nullptr; above = above->parent_) {
        indent += "  ";
    }
    return indent;
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

} // namespace faulttrap
