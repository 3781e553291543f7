#pragma once

// Qt's text widgets show HTML, not RTF: this turns the rich-text documents of rich_text.h back
// into an HTML fragment with the same colours, bold runs, line breaks and tab stop.

#include <string>
#include <string_view>

namespace faulttrap {

struct HtmlRendering {
    std::string html;     // Windows-1252 bytes, one <pre> block
    int tabStopTwips = 0; // the last "\tx" stop, 0 when none
};

HtmlRendering RichTextToHtml(std::string_view rtf);

} // namespace faulttrap
