// Feeds arbitrary bytes to the readers of a tracker's pages: the first line is the wanted field
// name (and option label), the rest the page. Whatever the bytes, the readers must answer without
// a crash or over-read, and what they answer must hold together.

#include "crashreport/trackers/character_references.h"
#include "crashreport/trackers/html_form.h"
#include "crashreport/trackers/tracker_texts.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

using namespace faulttrap;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view whole(reinterpret_cast<const char*>(data), size);
    const std::size_t lineEnd = whole.find('\n');
    const std::string_view name = whole.substr(0, lineEnd);
    const std::string_view page =
        lineEnd == std::string_view::npos ? std::string_view() : whole.substr(lineEnd + 1);

    // Every reference is longer than what it stands for.
    if (DecodeCharacterReferences(std::string(whole)).size() > whole.size()) {
        std::abort();
    }

    const auto input = InputValue(page, name);
    if (input && input->empty()) {
        std::abort();
    }
    if (const auto content = TextareaContent(page, name);
        content && content->size() > page.size()) {
        std::abort();
    }
    const auto selected = SelectedValue(page, name);
    const auto byLabel = OptionValueByLabel(page, name, name);
    if (selected.has_value() != byLabel.has_value()) {
        std::abort();
    }

    const std::string title(page.substr(0, 256));
    if (const auto bumped = BumpedTitle(title);
        bumped && title.find(" - ") == std::string::npos && *bumped != title) {
        std::abort();
    }
    BugNumberAfter(page, name);
    return 0;
}
