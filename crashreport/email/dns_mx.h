#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace faulttrap {

// The largest DNS answer over UDP (no extensions are asked for); longer datagrams are refused.
inline constexpr std::size_t MaxDnsDatagram = 512;

// The MX query for `domain`: identifier 0x4141, recursion desired, one question of type MX and
// class IN. None for a domain that cannot be written as labels (an empty or over-long label).
std::optional<std::string> BuildMxQuery(std::string_view domain);
// The exchange host of the first MX record of an answer to BuildMxQuery, its labels joined with
// "." and no trailing dot. None for anything that is not such an answer: a datagram that is not
// a reply to the query, ends early, is longer than MaxDnsDatagram, whose names loop or run over
// 255 bytes, or whose exchange is no host name (a label byte other than a letter, digit, "-"
// or "_").
std::optional<std::string> ParseMxAnswer(std::string_view datagram);

} // namespace faulttrap
