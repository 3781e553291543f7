#include "crashreport/trackers/html_form.h"

#include "crashreport/trackers/character_references.h"
#include "crashreport/trackers/html_tag.h"

#include "crashreport/options/text_case.h"
#include "crashreport/text/strings.h"

#include <vector>

namespace faulttrap {

namespace {

struct TChoice {
    std::string value;
    std::string label;
    bool selected = false;
};

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

bool NameIs(const TTagParts& parts, std::string_view name) {
    const auto found = AttributeValue(parts.attributes, "name");
    return found && EqualsIgnoringCase(*found, name);
}

// An option's label: its text with every run from an ampersand that begins no known character
// reference (a marker such as "&raquo;" before a sub-project) up to the next blank removed,
// then decoded and trimmed.
std::string LabelOf(std::string_view content) {
    std::string kept;
    kept.reserve(content.size());
    for (std::size_t at = 0; at < content.size();) {
        if (content[at] == '&' && !IsKnownReferenceAt(content, at)) {
            while (at < content.size() && !IsBlank(content[at])) {
                ++at;
            }
            continue;
        }
        kept += content[at++];
    }
    return Trim(DecodeCharacterReferences(std::move(kept)));
}

// The options of the first choice list named `name`; nullopt when there is none.
std::optional<std::vector<TChoice>> ChoiceList(std::string_view page, std::string_view name) {
    for (std::size_t from = 0;;) {
        const auto list = FindTag(page, from, "<select ", {{"</select>"}});
        if (!list) {
            return std::nullopt;
        }
        from = list->next;
        const TTagParts parts = SplitTag(list->text);
        if (!NameIs(parts, name)) {
            continue;
        }
        std::vector<TChoice> choices;
        for (std::size_t at = 0;;) {
            const auto option =
                FindTag(parts.content, at, "<option ", {{"</option>"}, {"<option ", false}});
            if (!option) {
                return choices;
            }
            at = option->next;
            const TTagParts optionParts = SplitTag(option->text);
            choices.push_back({AttributeValue(optionParts.attributes, "value").value_or(""),
                               LabelOf(optionParts.content),
                               HasAttributeWord(optionParts.attributes, "selected")});
        }
    }
}

std::string SelectedOf(const std::vector<TChoice>& choices) {
    for (const TChoice& choice : choices) {
        if (choice.selected) {
            return choice.value;
        }
    }
    return choices.empty() ? std::string() : choices.front().value;
}

} // namespace

std::optional<std::string> InputValue(std::string_view page, std::string_view name) {
    for (std::size_t from = 0;;) {
        const auto input = FindTag(page, from, "<input ", {{">"}, {"/>"}});
        if (!input) {
            return std::nullopt;
        }
        from = input->next;
        const TTagParts parts = SplitTag(input->text);
        if (!NameIs(parts, name)) {
            continue;
        }
        auto value = AttributeValue(parts.attributes, "value");
        if (value && !value->empty()) {
            return value;
        }
    }
}

std::optional<std::string> TextareaContent(std::string_view page, std::string_view name) {
    for (std::size_t from = 0;;) {
        const auto area = FindTag(page, from, "<textarea ", {{"</textarea>"}, {"/>"}});
        if (!area) {
            return std::nullopt;
        }
        from = area->next;
        const TTagParts parts = SplitTag(area->text);
        if (NameIs(parts, name)) {
            return Trim(DecodeCharacterReferences(std::string(parts.content)));
        }
    }
}

std::optional<std::string> SelectedValue(std::string_view page, std::string_view name) {
    const auto choices = ChoiceList(page, name);
    if (!choices) {
        return std::nullopt;
    }
    return SelectedOf(*choices);
}

std::optional<std::string> OptionValueByLabel(std::string_view page, std::string_view name,
                                              std::string_view label) {
    const auto choices = ChoiceList(page, name);
    if (!choices) {
        return std::nullopt;
    }
    for (const TChoice& choice : *choices) {
        if (EqualsIgnoringCase(choice.label, label)) {
            return choice.value;
        }
    }
    return SelectedOf(*choices);
}

} // namespace faulttrap
