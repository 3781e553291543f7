#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace faulttrap {

// The 158 texts from which every caption, label and message of the exception reporting is taken
// ("text N"). A text is expanded for `%NAME%` environment variables each time it is read, so that
// it can carry values of the exception being processed.
class TCustomizedTexts {
public:
    static constexpr std::size_t Count = 158;

    TCustomizedTexts();

    // Text `index`, expanded; the stored text when the expansion fails. Throws std::out_of_range
    // for an index above 157.
    std::string Text(std::size_t index) const;
    // Text `index` as stored, unexpanded.
    const std::string& StoredText(std::size_t index) const;
    void SetText(std::size_t index, std::string text);
    void SetDefaults();

    static const char* DefaultText(std::size_t index);

    bool operator==(const TCustomizedTexts&) const = default;

private:
    std::array<std::string, Count> texts_;
};

} // namespace faulttrap
