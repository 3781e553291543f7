#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace faulttrap {

class TXMLItem;

// An owning, ordered list of elements.
class TXMLItems {
public:
    explicit TXMLItems(TXMLItem* owner = nullptr) : owner_(owner) {}

    // Appends a new element called `name` and returns it.
    TXMLItem& Add(std::string name);
    std::size_t Count() const { return items_.size(); }
    TXMLItem& operator[](std::size_t index) { return *items_.at(index); }
    const TXMLItem& operator[](std::size_t index) const { return *items_.at(index); }

private:
    TXMLItem* owner_;
    std::vector<std::unique_ptr<TXMLItem>> items_;
};

// One element: name, serialised attributes, text written unchanged, owned children.
class TXMLItem {
public:
    TXMLItem(std::string name, TXMLItem* parent);
    TXMLItem(const TXMLItem&) = delete;
    TXMLItem& operator=(const TXMLItem&) = delete;

    const std::string& Name() const { return name_; }
    const std::string& Attributes() const { return attributes_; }
    const std::string& Text() const { return text_; }
    TXMLItem* Parent() const { return parent_; }
    TXMLItems& Children() { return children_; }
    const TXMLItems& Children() const { return children_; }
    // Two spaces per level below the root.
    const std::string& Indent() const { return indent_; }

    TXMLItem& AddChild(std::string name) { return children_.Add(std::move(name)); }
    void AddAttribute(std::string_view name, std::string_view value);
    void SetText(std::string text) { text_ = std::move(text); }
    // The element and its subtree, each line ending in CR LF.
    std::string Serialise() const;

private:
    void SerialiseInto(std::string& out, const std::string& indent) const;

    std::string name_;
    std::string attributes_;
    std::string text_;
    TXMLItem* parent_;
    std::string indent_;
    TXMLItems children_;
};

// Bytes 0-31, '"', '&', '\'', '<', '>' and 127-255 become "&#NNN;" with three decimal digits.
std::string EscapeXmlAttribute(std::string_view value);

} // namespace faulttrap
