#include "crashreport/report/report_items.h"

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
    const std::size_t found = report.find(key);
    if (found == std::string_view::npos) {
        return std::nullopt;
    }
    ItemSpan span{};
    span.lineStart = found + 2;
    std::size_t end = LineEnd(report, span.lineStart);
    const std::size_t separator = report.substr(0, end).find(": ", span.lineStart);
    span.valueStart = separator == std::string_view::npos ? end : separator + 2;
    while (end + 2 < report.size() && IsContinuation(report, end + 2)) {
        end = LineEnd(report, end + 2);
    }
    span.end = end;
    return span;
}

} // namespace faulttrap
