#include "crashreport/options/text_id.h"

#include "crashreport/options/text_case.h"

#include <array>
#include <stdexcept>
#include <string>

namespace faulttrap {

namespace {

struct TextEntry {
    std::size_t number;
    std::string_view name;
};

#define FAULTTRAP_TEXT_ENTRY(name, number, text) TextEntry{number, #name},
constexpr std::array kTexts = {FAULTTRAP_CUSTOMIZED_TEXTS(FAULTTRAP_TEXT_ENTRY)};
#undef FAULTTRAP_TEXT_ENTRY

// The list is written in the order of the numbers, so that a text's place in it is its number.
constexpr bool NumberedInOrder() {
    for (std::size_t i = 0; i < kTexts.size(); ++i) {
        if (kTexts[i].number != i) {
            return false;
        }
    }
    return kTexts.size() == kTextCount;
}
static_assert(NumberedInOrder(), "the customised texts are not numbered 0 to 157 in order");

} // namespace

TextId TextIdOfNumber(std::size_t number) {
    if (number >= kTextCount) {
        throw std::out_of_range("Customized text " + std::to_string(number) +
                                " does not exist (0 to 157).");
    }
    return static_cast<TextId>(number);
}

std::string_view TextName(TextId id) {
    return kTexts.at(TextNumber(id)).name;
}

std::optional<TextId> TextIdNamed(std::string_view name) {
    for (const TextEntry& entry : kTexts) {
        if (EqualsIgnoringCase(entry.name, name)) {
            return static_cast<TextId>(entry.number);
        }
    }
    return std::nullopt;
}

} // namespace faulttrap
