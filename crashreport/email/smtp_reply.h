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
// Whether the reply in `received` has said more is coming: its last line, whole or still
// arriving, is a continuation line ("250-..."), or a line arrives after one.
bool SmtpReplyPending(std::string_view received);

} // namespace faulttrap
