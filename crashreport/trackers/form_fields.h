#pragma once

#include "crashreport/web/http_connection_base.h"

#include <string_view>

namespace faulttrap {

// The form operations of a tracker conversation: each reads the last response of `connection`
// and adds at most one field to the request being prepared.

// name = the value of the first input of that name whose value is not empty; nothing when none.
void CopyInput(THTTPConnectionBase& connection, std::string_view name);
// name = the content of the first text area of that name; nothing when none.
void CopyTextarea(THTTPConnectionBase& connection, std::string_view name);
// name = the value of the selected option of the first choice list of that name; nothing when
// there is no such list.
void CopySelected(THTTPConnectionBase& connection, std::string_view name);
// name = the value of the option labelled `text` (ignoring case), else of the selected option;
// nothing when there is no such list.
void SelectByText(THTTPConnectionBase& connection, std::string_view name, std::string_view text);
// name = the tracker summary of a new bug.
void AddSummary(THTTPConnectionBase& connection, std::string_view name, std::string_view version,
                std::string_view bugId, std::string_view className);
// name = the search text of the error.
void AddSearch(THTTPConnectionBase& connection, std::string_view name, std::string_view bugId,
               std::string_view className);

// What BumpCounter did with a bug's title.
enum class TCounterBump {
    Added,   // the title is in the request, its counter one higher (or as it was, without one)
    AtLimit, // the counter cannot grow: nothing added, the bug is to be left as it is
    NoTitle, // the page has no such input: nothing added, for an empty title would erase it
};
TCounterBump BumpCounter(THTTPConnectionBase& connection, std::string_view name);

} // namespace faulttrap
