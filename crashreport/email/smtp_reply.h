#pragma once

#include <optional>
#include <string_view>

namespace faulttrap {

// The reply code: the run of decimal digits at the start of the reply; none when the reply does
// not start with a digit or the run is too long to be a reply code.
std::optional<int> SmtpReplyCode(std::string_view reply);
// Whether `received` ends with the last line of a reply: a line ended by a line feed that is not
// a continuation line ("250-...").
bool SmtpReplyComplete(std::string_view received);
// Whether `received` holds a continuation line ("250-...") as its last whole line: the reply
// has more lines to come.
bool SmtpReplyPending(std::string_view received);

} // namespace faulttrap
