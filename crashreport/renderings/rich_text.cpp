#include "crashreport/renderings/rich_text.h"

#include "crashreport/report/report_items.h"
#include "crashreport/report/report_text.h"

#include <vector>

namespace faulttrap {
namespace {

std::string Envelope(const std::string& body, const RichTextFont& font) {
    return "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1040{\\fonttbl{"
           "\\f0\\fmodern\\fprq1\\fcharset" +
           std::to_string(font.charset) + " " + font.name +
           ";}}\r\n"
           "{\\colortbl ;\\red0\\green100\\blue100;\\red0\\green0\\blue0;\\red40\\green40\\blue40;"
           "\\red0\\green0\\blue160;\\red160\\green0\\blue0;\\red80\\green80\\blue80;"
           "\\red0\\green100\\blue0;}\r\n"
           "\\f0\\fs" +
           std::to_string(font.points * 2) + "\r\n" + body + "}";
}

std::vector<std::string> Lines(std::string_view section) {
    std::vector<std::string> lines = SplitAtCrLf(section);
    if (!lines.empty() && lines.back().empty()) {
        lines.pop_back();
    }
    return lines;
}

std::string Body(const std::vector<std::string>& lines) {
    std::string body;
    for (const std::string& line : lines) {
        body += line + "\\par\r\n";
    }
    return body;
}

std::string GeneralLine(const std::string& raw, bool first) {
    const std::string line = EscapeRichText(raw);
    if (first) {
        return "\\cf1\\b " + line + "\\b0";
    }
    // Headings stand at the line's start; a value's continuation lines are indented, so one
    // that ends in ":" stays part of its value.
    const std::size_t colon = raw.find(':');
    if (colon != std::string::npos && colon + 1 == raw.size() && !raw.starts_with(' ')) {
        return "\\cf3\\b " + line + "\\b0";
    }
    if (raw.starts_with('-')) {
        return "\\cf3 " + line;
    }
    const std::size_t separator = line.find(": ");
    if (ValueStartOf(raw) && separator != std::string::npos) {
        // "  2.7 ID  : 1A2B": the number in colour 5, the label in 2, the value in 4.
        const std::size_t numberStart = line.find_first_not_of(' ');
        const std::size_t numberEnd = line.find(' ', numberStart);
        std::string head = line.substr(0, separator + 1);
        if (numberEnd != std::string::npos && numberEnd < separator) {
            head.insert(numberEnd, "\\cf2 ");
        }
        return "\\cf5 " + head + "\\cf4 " + line.substr(separator + 1);
    }
    return line;
}

std::string AssemblerLine(const std::string& raw) {
    std::string line = EscapeRichText(raw);
    if (!raw.starts_with(';')) {
        const std::size_t blank = line.find(' ');
        if (blank != std::string::npos) {
            const std::size_t instruction = line.find_first_not_of(' ', blank);
            if (instruction != std::string::npos && line[instruction] != ';') {
                const std::size_t mnemonicEnd = line.find(' ', instruction);
                if (mnemonicEnd == std::string::npos) {
                    line += "\\b0";
                } else {
                    line.insert(mnemonicEnd, "\\b0\\cf7 ");
                }
                line.insert(instruction, "\\cf4\\b ");
            }
        }
        line.insert(0, "\\cf5 ");
    }
    const std::size_t comment = line.find(';');
    if (comment != std::string::npos) {
        line.insert(comment, "\\cf6 ");
    }
    return line;
}

// Hexadecimal runs of at least 8 digits in colour 4, the rest in colour 2.
std::string ColourValues(const std::string& line) {
    std::string coloured;
    std::size_t i = 0;
    auto hex = [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); };
    while (i < line.size()) {
        std::size_t j = i;
        while (j < line.size() && hex(line[j])) {
            ++j;
        }
        const bool boundary = (i == 0 || line[i - 1] == ' ') &&
                              (j == line.size() || line[j] == ' ' || line[j] == ':');
        if (j - i >= 8 && boundary) {
            coloured += "\\cf4 " + line.substr(i, j - i) + "\\cf2 ";
            i = j;
        } else {
            coloured += line[i];
            ++i;
        }
    }
    return coloured;
}

// "address: value   address: bytes  chars": the value and the bytes in colour 4, the
// characters in colour 5, the memory part at the tab stop.
std::string DumpLine(const std::string& raw) {
    const std::size_t gap = raw.find("   ");
    const std::string stack = raw.substr(0, gap);
    std::string text;
    const std::size_t stackColon = stack.find(": ");
    if (stackColon == std::string::npos) {
        text = EscapeRichText(stack);
    } else {
        text = EscapeRichText(stack.substr(0, stackColon + 2)) + "\\cf4 " +
               EscapeRichText(stack.substr(stackColon + 2)) + "\\cf2 ";
    }
    if (gap == std::string::npos) {
        return text;
    }
    const std::string memory = raw.substr(gap + 3);
    const std::size_t colon = memory.find(": ");
    if (colon == std::string::npos) {
        return text + "\\tab " + EscapeRichText(memory);
    }
    // The byte column has single blanks only; two blanks lead to the characters.
    const std::string after = memory.substr(colon + 2);
    const std::size_t charsGap = after.find("  ");
    text += "\\tab " + EscapeRichText(memory.substr(0, colon + 2)) + "\\cf4 " +
            EscapeRichText(after.substr(0, charsGap)) + "\\cf5 ";
    if (charsGap != std::string::npos) {
        text += "  " + EscapeRichText(after.substr(charsGap + 2));
    }
    return text + "\\cf2 ";
}

std::string TabStop(const RichTextFont& font, std::size_t column) {
    return "\\pard\\tx" + std::to_string(static_cast<int>(column) * font.dashTwips) + " ";
}

// Where the memory heading starts: where the memory part of the rule under it starts (after its
// three blanks); 21 characters, as for 32-bit addresses, when the rule does not tell.
std::size_t MemoryColumn(std::string_view rule) {
    const std::size_t gap = rule.find("   ");
    return gap == std::string_view::npos ? 21 : gap + 3;
}

} // namespace

std::string EscapeRichText(std::string_view text) {
    std::string escaped;
    for (const char c : text) {
        if (c == '\\' || c == '{' || c == '}') {
            escaped += '\\';
        }
        escaped += c;
    }
    return escaped;
}

std::string GeneralRichText(std::string_view section, const RichTextFont& font) {
    std::vector<std::string> lines = Lines(section);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        lines[i] = GeneralLine(lines[i], i == 0);
    }
    return Envelope(Body(lines), font);
}

std::string AssemblerRichText(std::string_view section, const RichTextFont& font) {
    std::vector<std::string> lines = Lines(section);
    for (std::string& line : lines) {
        line = AssemblerLine(line);
    }
    return Envelope(Body(lines), font);
}

std::string CpuRichText(std::string_view section, const RichTextFont& font) {
    std::vector<std::string> lines = Lines(section);
    // After the registers an empty line, the "Stack" / "Memory Dump" heading, its rule, the dump.
    enum class Part { Registers, Heading, Rule, Dump } part = Part::Registers;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string raw = lines[i];
        const std::string line = EscapeRichText(raw);
        if (i == 0) {
            lines[i] = "\\cf3\\b " + line + "\\cf2\\b0";
        } else if (i == 1) {
            lines[i] = "\\cf3 " + line + "\\cf2";
        } else if (raw.empty()) {
            part = part == Part::Registers ? Part::Heading : part;
        } else if (part == Part::Registers) {
            lines[i] = ColourValues(line);
        } else if (part == Part::Heading) {
            // The memory heading goes to a tab stop where the memory column starts: 21
            // characters for 32-bit addresses, more for wider ones.
            const std::size_t memory = MemoryColumn(i + 1 < lines.size() ? lines[i + 1] : "");
            const std::string first = Trim(raw.substr(0, memory));
            const std::string rest = Trim(raw.substr(std::min(memory, raw.size())));
            lines[i] = TabStop(font, memory) + "\\cf3\\b " + EscapeRichText(first) + "\\tab " +
                       EscapeRichText(rest) + "\\cf2\\b0";
            part = Part::Rule;
        } else if (part == Part::Rule) {
            std::string rule = line;
            const std::size_t gap = rule.find("   ");
            if (gap != std::string::npos) {
                rule.replace(gap, 3, "\\tab ");
            }
            lines[i] = "\\cf3 " + rule + "\\cf2";
            part = Part::Dump;
        } else {
            lines[i] = DumpLine(raw);
        }
    }
    return Envelope(Body(lines), font);
}

} // namespace faulttrap
