#pragma once

// Golden files are kept with LF line ends; reports end their lines with CR LF.

#include "crashreport/report/tests/temporary_folder.h"

#include <string>

namespace faulttrap::testing {

inline std::string Golden(const std::string& name) {
    const std::string text = ReadFile(std::string(REPORT_TEST_DATA) + "/" + name);
    std::string crlf;
    for (const char c : text) {
        if (c == '\n') {
            crlf += '\r';
        }
        crlf += c;
    }
    return crlf;
}

} // namespace faulttrap::testing
