#pragma once

// The customisable texts the report is written with, as read from the options (already expanded
// for %NAME% variables).

#include "crashreport/options/text_id.h"

#include <array>
#include <string>

namespace faulttrap {

struct ReportTexts {
    static constexpr std::size_t kCount = kTextCount;
    std::array<std::string, kCount> text;

    const std::string& operator[](TextId id) const { return text.at(TextNumber(id)); }

    // The default texts.
    static ReportTexts Defaults();
};

} // namespace faulttrap
