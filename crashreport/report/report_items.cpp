#include "crashreport/report/report_items.h"

#include "crashreport/report/item_value.h"

#include <string>

namespace faulttrap {

namespace {

std::size_t LineEnd(std::string_view text, std::size_t from) {
    const std::size_t end = text.find("\r\n", from);
    return end == std::string_view::npos ? text.size() : end;
}

// A continuation line of a value begins with three blanks; an item line with two and a digit.
bool IsContinuation(std::string_view text, std::size_t lineStart) {
    return text.substr(lineStart, 3) == "   ";
}

} // namespace

std::optional<ItemSpan> FindItem(std::string_view report, std::string_view item) {
    const std::string key = "\r\n  " + std::string(item) + ' ';
    // An item line always holds ": "; a line without one (a damaged file) is no item.
    for (std::size_t found = report.find(key); found != std::string_view::npos;
         found = report.find(key, found + key.size())) {
        ItemSpan span{};
        span.lineStart = found + 2;
        std::size_t end = LineEnd(report, span.lineStart);
        const std::size_t separator = report.substr(0, end).find(": ", span.lineStart);
        if (separator == std::string_view::npos) {
            continue;
        }
        span.valueStart = separator + 2;
        while (end + 2 < report.size() && IsContinuation(report, end + 2)) {
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
