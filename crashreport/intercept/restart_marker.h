#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace faulttrap {

// What a restarted process knows of the restarts before it: the environment variable
// FAULTTRAP_RESTART holds "<count>:<time>", the number of restarts in the current run of them
// and when the first of these happened (seconds since 1970).
struct RestartMarker {
    int count = 0;
    std::int64_t since = 0;
};

inline constexpr const char* kRestartVariable = "FAULTTRAP_RESTART";
// A program is restarted at most this often within kRestartWindowSeconds; a failure after that
// ends it with its report instead of starting it again.
inline constexpr int kMostRestarts = 3;
inline constexpr std::int64_t kRestartWindowSeconds = 60;

// The marker of `text` (the variable's value); none when it is missing or malformed.
std::optional<RestartMarker> ParseRestartMarker(const char* text);
std::string FormatRestartMarker(const RestartMarker& marker);

// The marker the next process gets when this one (started with `current`) restarts at `now`;
// none when the restart is refused.
std::optional<RestartMarker> NextRestartMarker(const std::optional<RestartMarker>& current,
                                               std::int64_t now);

} // namespace faulttrap
