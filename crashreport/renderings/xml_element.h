#pragma once

// A small XML tree for the report's XML form: elements with attributes in order, text written as
// it is, and children; serialised with two blanks of indent per level and CR LF line ends.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace faulttrap {

class XmlElement {
public:
    explicit XmlElement(std::string name) : name_(std::move(name)) {}

    XmlElement& AddChild(std::string name);
    void AddAttribute(std::string_view name, std::string_view value);
    void SetText(std::string text) { text_ = std::move(text); }

    const std::string& Name() const { return name_; }
    const std::vector<std::unique_ptr<XmlElement>>& Children() const { return children_; }
    XmlElement* Parent() const { return parent_; }

    std::string Serialize(const std::string& indent = {}) const;

private:
    std::string name_;
    std::string attributes_;
    std::string text_;
    std::vector<std::unique_ptr<XmlElement>> children_;
    XmlElement* parent_ = nullptr;
};

// An attribute value as character references where XML needs them: the quote, the ampersand,
// the apostrophe, "<", ">", tab, line feed, carriage return and the bytes 127 to 255, each as the
// code point of its Windows-1252 character ("&#034;", "&#8364;" for 0x80). The other control
// bytes cannot appear in XML at all and become blanks.
std::string EscapeAttribute(std::string_view value);

} // namespace faulttrap
