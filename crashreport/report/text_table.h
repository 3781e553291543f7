#pragma once

// The tables of the report: columns between "|", each as wide as its longest heading or value,
// framed by rules of "-".

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace faulttrap {

using TableRow = std::vector<std::string>;

// A value as a table cell holds it: one line without "|", so that the table's readers find every
// column. "|" becomes the broken bar (0xA6), line breaks and other control characters become
// blanks, bytes that Windows-1252 does not define become "?".
std::string CellText(std::string_view value);

class TextTable {
public:
    TextTable(TableRow headings, std::vector<std::size_t> minimumWidths);

    void AddRow(TableRow cells);

    const std::vector<std::size_t>& Widths() const { return widths_; }
    // The rule: as long as a row.
    std::string Rule() const;
    std::string Row(const TableRow& cells) const;
    // A row of one cell across the table: "-" for a separator, " " for an empty row.
    std::string SpanRow(char fill) const;
    // A caption across the table, padded or cut.
    std::string CaptionRow(std::string_view caption) const;

    // "Title:", the rule, the heading row, the rule, the given rows, the rule, an empty line.
    std::string Render(std::string_view title, const std::vector<std::string>& bodyLines) const;
    // The same with one row per added row.
    std::string Render(std::string_view title) const;

private:
    std::size_t InnerWidth() const;

    TableRow headings_;
    std::vector<TableRow> rows_;
    std::vector<std::size_t> widths_;
};

// "Title:", a line break, a rule one longer than the title, two line breaks: the form of a
// section whose collection is switched off.
std::string EmptySectionHeading(std::string_view title);

} // namespace faulttrap
