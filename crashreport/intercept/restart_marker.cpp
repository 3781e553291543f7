#include "crashreport/intercept/restart_marker.h"

#include <charconv>
#include <cstring>

namespace faulttrap {

std::optional<RestartMarker> ParseRestartMarker(const char* text) {
    if (text == nullptr) {
        return std::nullopt;
    }
    const char* end = text + std::strlen(text);
    RestartMarker marker;
    const auto [afterCount, countError] = std::from_chars(text, end, marker.count);
    if (countError != std::errc() || afterCount == end || *afterCount != ':' || marker.count < 1) {
        return std::nullopt;
    }
    const auto [afterTime, timeError] = std::from_chars(afterCount + 1, end, marker.since);
    if (timeError != std::errc() || afterTime != end) {
        return std::nullopt;
    }
    return marker;
}

std::string FormatRestartMarker(const RestartMarker& marker) {
    return std::to_string(marker.count) + ":" + std::to_string(marker.since);
}

std::optional<RestartMarker> NextRestartMarker(const std::optional<RestartMarker>& current,
                                               std::int64_t now) {
    // A clock set back counts as a new run of restarts, like one that lies past the window.
    if (!current || now < current->since || now - current->since >= kRestartWindowSeconds) {
        return RestartMarker{1, now};
    }
    if (current->count >= kMostRestarts) {
        return std::nullopt;
    }
    return RestartMarker{current->count + 1, current->since};
}

} // namespace faulttrap
