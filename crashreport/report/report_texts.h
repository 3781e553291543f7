#pragma once

// The customisable texts the report is written with, indexed by their number (0 to 157), as
// read from the options (already expanded for %NAME% variables).

#include <array>
#include <string>

namespace faulttrap {

struct ReportTexts {
    static constexpr int kCount = 158;
    std::array<std::string, kCount> text;

    const std::string& operator[](int number) const {
        return text.at(static_cast<std::size_t>(number));
    }

    // The default texts of every number the report uses.
    static ReportTexts Defaults();
};

} // namespace faulttrap
