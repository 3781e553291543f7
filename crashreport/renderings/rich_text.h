#pragma once

// Rich-text (RTF) documents of the report's sections for the text pages of the detailed dialog:
// the general part, the assembler listing and the CPU part, coloured line by line.

#include <string>
#include <string_view>

namespace faulttrap {

// The page font the document names.
struct RichTextFont {
    std::string name = "Lucida Console";
    int points = 8;
    int charset = 0;   // of the system's default code page
    int dashTwips = 0; // width of one "-" in the font, in twips (the CPU part's tab stop)
};

// "\" "{" "}" escaped and every CR LF written as "\par" CR LF.
std::string EscapeRichText(std::string_view text);

std::string GeneralRichText(std::string_view section, const RichTextFont& font);
std::string AssemblerRichText(std::string_view section, const RichTextFont& font);
std::string CpuRichText(std::string_view section, const RichTextFont& font);

} // namespace faulttrap
