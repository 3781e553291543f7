#include "crashreport/report/log_item.h"

#include "crashreport/report/item_value.h"
#include "crashreport/report/report_text.h"

#include <algorithm>
#include <vector>

namespace faulttrap {

namespace {

// A heading line is one whose first ":" is its last or last-but-one character.
bool IsHeading(const std::string& line) {
    const std::size_t colon = line.find(':');
    return colon != std::string::npos && colon + 2 >= line.size();
}

// Aligns the block of lines [first, end) (heading, rule, items); returns false when it holds
// nothing but its heading and rule.
bool AlignBlock(std::vector<std::string>& lines, std::size_t first, std::size_t end) {
    if (end - first <= 2) {
        return false;
    }
    std::size_t longest = 0;
    std::size_t column = 1;
    for (std::size_t i = first; i < end; ++i) {
        longest = std::max(longest, lines[i].size());
        const std::size_t at = lines[i].find(": ");
        if (at != std::string::npos) {
            column = std::max(column, at + 1);
        }
    }
    for (std::size_t i = first + 2; i < end; ++i) {
        std::string& line = lines[i];
        const std::size_t at = line.find(": ");
        if (at == std::string::npos) {
            line.insert(0, column, ' ');
        } else {
            line.insert(at, column - 1 - at, ' ');
        }
        longest = std::max(longest, line.size());
    }
    lines[first + 1] = std::string(longest, '-');
    return true;
}

} // namespace

TLogItem::TLogItem(int firstSection) : section_(firstSection) {}

void TLogItem::AddHeading(std::string_view text) {
    ++section_;
    item_ = 0;
    if (!text_.empty()) {
        text_ += kCrLf;
        text_ += kCrLf;
    }
    text_ += text;
    text_ += ':';
    text_ += kCrLf;
    text_ += '-';
}

void TLogItem::AddItem(std::string_view label, std::string_view value, bool written) {
    ++item_;
    if (!written) {
        return;
    }
    text_ += kCrLf;
    text_ += "  " + std::to_string(section_) + '.' + std::to_string(item_) + ' ';
    text_ += label;
    text_ += ": ";
    text_ += EncodeItemValue(value);
}

std::string TLogItem::Format() const {
    std::vector<std::string> lines = SplitAtCrLf(text_);
    lines.emplace_back();
    std::size_t at = 0;
    while (at < lines.size()) {
        std::size_t first = at;
        while (first < lines.size() && !IsHeading(lines[first])) {
            ++first;
        }
        if (first == lines.size()) {
            break;
        }
        std::size_t end = first;
        while (end < lines.size() && !lines[end].empty()) {
            ++end;
        }
        if (AlignBlock(lines, first, end)) {
            at = end + 1;
        } else {
            const std::size_t erased = std::min(end + 1, lines.size());
            lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(first),
                        lines.begin() + static_cast<std::ptrdiff_t>(erased));
            at = first;
        }
    }
    if (!lines.empty() && lines.back().empty()) {
        lines.pop_back();
    }
    std::string formatted;
    for (const auto& line : lines) {
        formatted += line;
        formatted += kCrLf;
    }
    return formatted;
}

} // namespace faulttrap
