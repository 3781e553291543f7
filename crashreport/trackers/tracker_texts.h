#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace faulttrap {

// The title a new bug gets: "[v<version> - 1]: <BugID> (<class>)", the 1 counting how often the
// error was reported.
std::string TrackerSummary(std::string_view version, std::string_view bugId,
                           std::string_view className);

// What finds every bug of the same error: "<BugID> (<class>)".
std::string TrackerSearchText(std::string_view bugId, std::string_view className);

// The description a bug gets: the exception message, ending in ".".
std::string TrackerDescription(std::string message);

// The highest occurrence counter; a title that reached it is left as it is.
inline constexpr int MaxTrackerCounter = 9999;

// `title` with its counter (the number after the first " - ", up to the next "]") one higher;
// unchanged when it has no counter; nullopt when the counter reached MaxTrackerCounter.
std::optional<std::string> BumpedTitle(const std::string& title);

// The text after the first `marker` (ignoring case) up to a blank, quote, "&", "<", ">" or
// backslash, in lower case: the bug number in a link such as "show_bug.cgi?id=42".
std::string BugNumberAfter(std::string_view body, std::string_view marker);

} // namespace faulttrap
