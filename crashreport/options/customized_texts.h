#pragma once

#include "crashreport/options/text_id.h"

#include <array>
#include <cstddef>
#include <string>

namespace faulttrap {

// The 158 texts from which every caption, label and message of the exception reporting is taken
// ("text N"). A text is expanded for `%NAME%` environment variables each time it is read, so that
// it can carry values of the exception being processed.
class TCustomizedTexts {
public:
    static constexpr std::size_t Count = kTextCount;

    TCustomizedTexts();

    // The text, expanded; the stored text when the expansion fails.
    std::string Text(TextId id) const;
    // The text as stored, unexpanded.
    const std::string& StoredText(TextId id) const;
    void SetText(TextId id, std::string text);
    void SetDefaults();

    static const char* DefaultText(TextId id);

    bool operator==(const TCustomizedTexts&) const = default;

private:
    std::array<std::string, Count> texts_;
};

} // namespace faulttrap
