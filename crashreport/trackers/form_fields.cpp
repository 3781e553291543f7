#include "crashreport/trackers/form_fields.h"

#include "crashreport/trackers/html_form.h"
#include "crashreport/trackers/tracker_texts.h"

namespace faulttrap {

namespace {

void AddFound(THTTPConnectionBase& connection, std::string_view name,
              std::optional<std::string> value) {
    if (value) {
        connection.AddField(std::string(name), std::move(*value));
    }
}

} // namespace

void CopyInput(THTTPConnectionBase& connection, std::string_view name) {
    AddFound(connection, name, InputValue(connection.LastResponse().body, name));
}

void CopyTextarea(THTTPConnectionBase& connection, std::string_view name) {
    AddFound(connection, name, TextareaContent(connection.LastResponse().body, name));
}

void CopySelected(THTTPConnectionBase& connection, std::string_view name) {
    AddFound(connection, name, SelectedValue(connection.LastResponse().body, name));
}

void SelectByText(THTTPConnectionBase& connection, std::string_view name, std::string_view text) {
    AddFound(connection, name, OptionValueByLabel(connection.LastResponse().body, name, text));
}

void AddSummary(THTTPConnectionBase& connection, std::string_view name, std::string_view version,
                std::string_view bugId, std::string_view className) {
    connection.AddField(std::string(name), TrackerSummary(version, bugId, className));
}

void AddSearch(THTTPConnectionBase& connection, std::string_view name, std::string_view bugId,
               std::string_view className) {
    connection.AddField(std::string(name), TrackerSearchText(bugId, className));
}

TCounterBump BumpCounter(THTTPConnectionBase& connection, std::string_view name) {
    const auto title = InputValue(connection.LastResponse().body, name);
    if (!title) {
        return TCounterBump::NoTitle;
    }
    auto bumped = BumpedTitle(*title);
    if (!bumped) {
        return TCounterBump::AtLimit;
    }
    connection.AddField(std::string(name), std::move(*bumped));
    return TCounterBump::Added;
}

} // namespace faulttrap
