// Feeds arbitrary bytes to the XML form as a log text and checks that the document stays
// balanced: every element opened is closed, and no raw "<", "&" or control byte reaches an
// attribute value.

#include "crashreport/renderings/log_xml.h"
#include "crashreport/report/log_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

[[noreturn]] void Fail(const char* reason) {
    std::fprintf(stderr, "fuzz_log_xml: %s\n", reason);
    std::abort();
}

// A light check of the serialised form: tags balance and attribute values are escaped.
void CheckBalanced(std::string_view xml) {
    std::vector<std::string> open;
    std::size_t i = 0;
    while ((i = xml.find('<', i)) != std::string_view::npos) {
        const std::size_t end = xml.find('>', i);
        if (end == std::string_view::npos) {
            Fail("a tag is not closed");
        }
        std::string_view tag = xml.substr(i + 1, end - i - 1);
        bool inQuotes = false;
        for (const char c : tag) {
            const auto byte = static_cast<unsigned char>(c);
            if (c == '"') {
                inQuotes = !inQuotes;
            } else if (inQuotes && (c == '<' || byte < 0x20 || byte >= 0x7F)) {
                Fail("an attribute value is not escaped");
            }
        }
        if (inQuotes) {
            Fail("an attribute value is not closed");
        }
        if (tag.starts_with('/')) {
            if (open.empty() || open.back() != tag.substr(1)) {
                Fail("a closing tag does not match");
            }
            open.pop_back();
        } else if (!tag.ends_with('/')) {
            open.emplace_back(tag.substr(0, tag.find(' ')));
        }
        i = end + 1;
    }
    if (!open.empty()) {
        Fail("an element is not closed");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> reports = faulttrap::TLogFile::SplitReports(text);
    CheckBalanced(faulttrap::ReportsXml(reports, ""));
    CheckBalanced(faulttrap::ReportsXml(reports, "secret"));
    // A single report given whole, as the packaging does with the report copy.
    CheckBalanced(faulttrap::ReportsXml({std::string(text)}, "secret"));
    return 0;
}
