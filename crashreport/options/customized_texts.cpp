#include "crashreport/options/customized_texts.h"

#include "crashreport/options/environment_expansion.h"

#include <exception>

namespace faulttrap {

namespace {

#define FAULTTRAP_TEXT_DEFAULT(name, number, text) text,
constexpr std::array<const char*, TCustomizedTexts::Count> kDefaultTexts = {
    FAULTTRAP_CUSTOMIZED_TEXTS(FAULTTRAP_TEXT_DEFAULT)};
#undef FAULTTRAP_TEXT_DEFAULT

} // namespace

TCustomizedTexts::TCustomizedTexts() {
    SetDefaults();
}

std::string TCustomizedTexts::Text(TextId id) const {
    const std::string& stored = StoredText(id);
    try {
        return ExpandEnvironmentVariables(stored);
    } catch (const std::exception&) {
        return stored;
    }
}

const std::string& TCustomizedTexts::StoredText(TextId id) const {
    return texts_.at(TextNumber(id));
}

void TCustomizedTexts::SetText(TextId id, std::string text) {
    texts_.at(TextNumber(id)) = std::move(text);
}

void TCustomizedTexts::SetDefaults() {
    for (std::size_t i = 0; i < Count; ++i) {
        texts_[i] = kDefaultTexts[i];
    }
}

const char* TCustomizedTexts::DefaultText(TextId id) {
    return kDefaultTexts.at(TextNumber(id));
}

} // namespace faulttrap
