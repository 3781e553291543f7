#include "crashreport/report/text_table.h"

#include "crashreport/report/report_text.h"

#include <algorithm>
#include <numeric>

namespace faulttrap {

std::string CellText(std::string_view value) {
    std::string cell(value);
    for (char& c : cell) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '|') {
            c = '\xA6';
        } else if (byte < 32 || byte == 127) {
            c = ' ';
        } else if (!IsWindows1252Character(byte)) {
            c = '?';
        }
    }
    return cell;
}

TextTable::TextTable(TableRow headings, std::vector<std::size_t> minimumWidths)
    : headings_(std::move(headings)), widths_(std::move(minimumWidths)) {
    widths_.resize(headings_.size(), 0);
    for (std::size_t i = 0; i < headings_.size(); ++i) {
        widths_[i] = std::max(widths_[i], headings_[i].size());
    }
}

void TextTable::AddRow(TableRow cells) {
    cells.resize(headings_.size());
    for (std::size_t i = 0; i < cells.size(); ++i) {
        cells[i] = CellText(cells[i]);
        widths_[i] = std::max(widths_[i], cells[i].size());
    }
    rows_.push_back(std::move(cells));
}

std::size_t TextTable::InnerWidth() const {
    return std::accumulate(widths_.begin(), widths_.end(), std::size_t{0}) + widths_.size() - 1;
}

std::string TextTable::Rule() const {
    return std::string(InnerWidth() + 2, '-');
}

std::string TextTable::Row(const TableRow& cells) const {
    std::string row = "|";
    for (std::size_t i = 0; i < widths_.size(); ++i) {
        row += PadRight(i < cells.size() ? CellText(cells[i]) : std::string(), widths_[i]);
        row += '|';
    }
    return row;
}

std::string TextTable::SpanRow(char fill) const {
    return '|' + std::string(InnerWidth(), fill) + '|';
}

std::string TextTable::CaptionRow(std::string_view caption) const {
    return '|' + PadRight(CellText(caption.substr(0, InnerWidth())), InnerWidth()) + '|';
}

std::string TextTable::Render(std::string_view title,
                              const std::vector<std::string>& bodyLines) const {
    const std::string rule = Rule();
    std::string text(title);
    text += ':';
    text += kCrLf;
    for (const std::string& line : {rule, Row(headings_), rule}) {
        text += line;
        text += kCrLf;
    }
    for (const auto& line : bodyLines) {
        text += line;
        text += kCrLf;
    }
    text += rule;
    text += kCrLf;
    text += kCrLf;
    return text;
}

std::string TextTable::Render(std::string_view title) const {
    std::vector<std::string> lines;
    lines.reserve(rows_.size());
    for (const auto& row : rows_) {
        lines.push_back(Row(row));
    }
    return Render(title, lines);
}

std::string EmptySectionHeading(std::string_view title) {
    std::string text(title);
    text += ':';
    text += kCrLf;
    text += std::string(title.size() + 1, '-');
    text += kCrLf;
    text += kCrLf;
    return text;
}

} // namespace faulttrap
