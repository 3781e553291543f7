#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace faulttrap {

// Readers of the forms in a tracker's page, as a browser would fill them in. Tags are found by
// their opening text ("<input ", "<textarea ", "<select ", "<option ", any letter case) and run
// to their end marker; inside a tag an end marker within quotes does not count. Attributes are
// read from the part of a tag before its first ">" outside quotes, names ignoring case; every
// extracted text has its character references decoded.

// The value of the first input named `name` whose value is not empty.
std::optional<std::string> InputValue(std::string_view page, std::string_view name);

// The content of the first text area named `name`, trimmed.
std::optional<std::string> TextareaContent(std::string_view page, std::string_view name);

// The value of the selected option of the first choice list named `name`; a browser submits the
// first option of a list where none is selected; empty for a list without options.
std::optional<std::string> SelectedValue(std::string_view page, std::string_view name);

// The value of the first option of the first choice list named `name` whose label equals
// `label` (ignoring case); the selected value (as SelectedValue) when no label does.
std::optional<std::string> OptionValueByLabel(std::string_view page, std::string_view name,
                                              std::string_view label);

} // namespace faulttrap
