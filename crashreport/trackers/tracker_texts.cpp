#include "crashreport/trackers/tracker_texts.h"

#include "crashreport/options/text_case.h"

#include <algorithm>

namespace faulttrap {

std::string TrackerSummary(std::string_view version, std::string_view bugId,
                           std::string_view className) {
    return "[v" + std::string(version) + " - 1]: " + TrackerSearchText(bugId, className);
}

std::string TrackerSearchText(std::string_view bugId, std::string_view className) {
    return std::string(bugId) + " (" + std::string(className) + ")";
}

std::string TrackerDescription(std::string message) {
    if (!message.ends_with('.')) {
        message += '.';
    }
    return message;
}

std::optional<std::string> BumpedTitle(const std::string& title) {
    const std::size_t dash = title.find(" - ");
    if (dash == std::string::npos) {
        return title;
    }
    const std::size_t begin = dash + 3;
    const std::size_t end = std::min(title.find(']', begin), title.size());
    const std::string_view digits = std::string_view(title).substr(begin, end - begin);
    if (digits.empty() ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return title;
    }
    int counter = 0;
    for (const char digit : digits) {
        counter = counter * 10 + (digit - '0');
        if (counter >= MaxTrackerCounter) {
            return std::nullopt;
        }
    }
    return title.substr(0, begin) + std::to_string(counter + 1) + title.substr(end);
}

std::string BugNumberAfter(std::string_view body, std::string_view marker) {
    const std::size_t found = FindIgnoringCase(body, marker);
    if (found == std::string_view::npos) {
        return {};
    }
    const std::string_view rest = body.substr(found + marker.size());
    std::string number(rest.substr(0, rest.find_first_of(" \"'&<>\\")));
    std::transform(number.begin(), number.end(), number.begin(), AsciiLower);
    return number;
}

} // namespace faulttrap
