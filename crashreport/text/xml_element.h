#pragma once

// A small XML writer: elements with attributes in order, text written as it is, and children;
// serialised with two blanks of indent per level and CR LF line ends. How attribute values are
// escaped is the caller's choice: the report package's XML copy and the report's XML form escape
// them differently.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace faulttrap {

using XmlAttributeEscaper = std::string (*)(std::string_view value);

class XmlElement {
public:
    XmlElement(std::string name, XmlAttributeEscaper escape)
        : name_(std::move(name)), escape_(escape) {}

    // A new last child, escaping as this element does.
    XmlElement& AddChild(std::string name);
    void AddAttribute(std::string_view name, std::string_view value);
    void SetText(std::string text) { text_ = std::move(text); }

    const std::string& Name() const { return name_; }
    const std::vector<std::unique_ptr<XmlElement>>& Children() const { return children_; }
    XmlElement* Parent() const { return parent_; }
    // Two blanks per level below the root.
    std::string Indent() const;

    // The element and its subtree, the element's own line starting with `indent`.
    std::string Serialize(const std::string& indent = {}) const;

private:
    std::string name_;
    XmlAttributeEscaper escape_;
    std::string attributes_;
    std::string text_;
    std::vector<std::unique_ptr<XmlElement>> children_;
    XmlElement* parent_ = nullptr;
};

} // namespace faulttrap
