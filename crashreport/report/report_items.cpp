#include "crashreport/report/report_items.h"

#include "crashreport/report/item_value.h"

#include <string>

namespace faulttrap {

namespace {

std::size_t LineEnd(std::string_view text, std::size_t from) {
    const std::size_t end = text.find("\r\n", from);
    return end == std::string_view::npos ? text.size() : end;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

std::string_view ItemNumberOf(std::string_view line) {
    if (!line.starts_with("  ")) {
        return {};
    }
    std::size_t i = 2;
    const auto digits = [&] {
        const std::size_t start = i;
        while (i < line.size() && IsDigit(line[i])) {
            ++i;
        }
        return i > start;
    };
    if (!digits() || i >= line.size() || line[i] != '.') {
        return {};
    }
    ++i;
    if (!digits() || i >= line.size() || line[i] != ' ') {
        return {};
    }
    return line.substr(2, i - 2);
}

bool IsContinuationLine(std::string_view line) {
    return line.starts_with("   ");
}

std::optional<std::size_t> ValueStartOf(std::string_view line) {
    const std::string_view number = ItemNumberOf(line);
    if (number.empty()) {
        return std::nullopt;
    }
    const std::size_t separator = line.find(": ", 2 + number.size());
    if (separator != std::string_view::npos) {
        return separator + 2;
    }
    // An empty value whose blank after the ":" went.
    if (line.ends_with(':') && line.size() > 2 + number.size() + 1) {
        return line.size();
    }
    return std::nullopt;
}

std::optional<ItemSpan> FindItem(std::string_view report, std::string_view item) {
    const std::string key = "\r\n  " + std::string(item) + ' ';
    // An item line holds ": " (or ends in ":"); a line without (a damaged file) is no item.
    for (std::size_t found = report.find(key); found != std::string_view::npos;
         found = report.find(key, found + key.size())) {
        ItemSpan span{};
        span.lineStart = found + 2;
        std::size_t end = LineEnd(report, span.lineStart);
        const auto valueStart = ValueStartOf(report.substr(span.lineStart, end - span.lineStart));
        if (!valueStart) {
            continue;
        }
        span.valueStart = span.lineStart + *valueStart;
        while (end + 2 < report.size() && IsContinuationLine(report.substr(end + 2, 3))) {
            end = LineEnd(report, end + 2);
        }
        span.end = end;
        return span;
    }
    return std::nullopt;
}

std::optional<std::string> ReadItemOf(std::string_view report, std::string_view item) {
    const auto span = FindItem(report, item);
    if (!span) {
        return std::nullopt;
    }
    return DecodeItemValue(report.substr(span->valueStart, span->end - span->valueStart));
}

} // namespace faulttrap
