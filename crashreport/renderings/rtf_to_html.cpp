#include "crashreport/renderings/rtf_to_html.h"

#include <cctype>
#include <cstdio>
#include <vector>

namespace faulttrap {
namespace {

struct Colour {
    int red = 0;
    int green = 0;
    int blue = 0;
};

bool IsLetter(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}
bool IsDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// The colour table "{\colortbl ;\red0\green100\blue100;...}".
std::vector<Colour> ColourTable(std::string_view rtf) {
    std::vector<Colour> table{Colour{}};
    const std::size_t start = rtf.find("{\\colortbl");
    if (start == std::string_view::npos) {
        return table;
    }
    const std::size_t end = rtf.find('}', start);
    const std::string_view body = rtf.substr(start, end - start);
    Colour colour;
    std::size_t i = body.find(';');
    for (; i != std::string_view::npos && i < body.size(); ++i) {
        if (body[i] == ';' && i != body.find(';')) {
            table.push_back(colour);
            colour = Colour{};
        } else if (body[i] == '\\') {
            std::size_t j = i + 1;
            while (j < body.size() && IsLetter(body[j])) {
                ++j;
            }
            const std::string_view word = body.substr(i + 1, j - i - 1);
            int value = 0;
            while (j < body.size() && IsDigit(body[j])) {
                value = value * 10 + (body[j] - '0');
                ++j;
            }
            if (word == "red") {
                colour.red = value;
            } else if (word == "green") {
                colour.green = value;
            } else if (word == "blue") {
                colour.blue = value;
            }
            i = j - 1;
        }
    }
    return table;
}

class HtmlWriter {
public:
    explicit HtmlWriter(std::vector<Colour> colours) : colours_(std::move(colours)) {}

    void Text(char c) {
        Open();
        switch (c) {
        case '&':
            html_ += "&amp;";
            break;
        case '<':
            html_ += "&lt;";
            break;
        case '>':
            html_ += "&gt;";
            break;
        default:
            html_ += c;
        }
    }
    void Raw(const char* text) {
        Open();
        html_ += text;
    }
    void SetColour(int index) {
        if (index != colour_) {
            Close();
            colour_ = index;
        }
    }
    void SetBold(bool bold) {
        if (bold != bold_) {
            Close();
            bold_ = bold;
        }
    }
    std::string Finish() {
        Close();
        return "<pre style=\"margin:0\">" + html_ + "</pre>";
    }

private:
    void Open() {
        if (open_) {
            return;
        }
        const Colour colour = colour_ >= 0 && static_cast<std::size_t>(colour_) < colours_.size()
                                  ? colours_[static_cast<std::size_t>(colour_)]
                                  : Colour{};
        char style[96];
        std::snprintf(style, sizeof style, "<span style=\"color:#%02x%02x%02x%s\">",
                      colour.red & 0xFF, colour.green & 0xFF, colour.blue & 0xFF,
                      bold_ ? ";font-weight:bold" : "");
        html_ += style;
        open_ = true;
    }
    void Close() {
        if (open_) {
            html_ += "</span>";
            open_ = false;
        }
    }

    std::vector<Colour> colours_;
    std::string html_;
    int colour_ = 0;
    bool bold_ = false;
    bool open_ = false;
};

} // namespace

HtmlRendering RichTextToHtml(std::string_view rtf) {
    HtmlRendering rendering;
    HtmlWriter writer(ColourTable(rtf));
    // The body starts after the font size line.
    std::size_t i = rtf.find("\\fs");
    i = i == std::string_view::npos ? rtf.size() : rtf.find('\n', i);
    i = i == std::string_view::npos ? rtf.size() : i + 1;
    for (; i < rtf.size(); ++i) {
        const char c = rtf[i];
        if (c == '\r' || c == '\n' || c == '{') {
            continue;
        }
        if (c == '}') {
            continue; // the end of the document
        }
        if (c != '\\') {
            writer.Text(c);
            continue;
        }
        if (i + 1 < rtf.size() && !IsLetter(rtf[i + 1])) {
            writer.Text(rtf[++i]); // "\\", "\{", "\}"
            continue;
        }
        std::size_t j = i + 1;
        while (j < rtf.size() && IsLetter(rtf[j])) {
            ++j;
        }
        const std::string_view word = rtf.substr(i + 1, j - i - 1);
        bool hasValue = false;
        int value = 0;
        while (j < rtf.size() && IsDigit(rtf[j])) {
            hasValue = true;
            value = value * 10 + (rtf[j] - '0');
            ++j;
        }
        if (j < rtf.size() && rtf[j] == ' ') {
            ++j; // the blank that ends a control word belongs to it
        }
        i = j - 1;
        if (word == "cf") {
            writer.SetColour(value);
        } else if (word == "b") {
            writer.SetBold(!hasValue || value != 0);
        } else if (word == "par") {
            writer.Raw("\n");
        } else if (word == "tab") {
            writer.Raw("\t");
        } else if (word == "tx") {
            rendering.tabStopTwips = value;
        }
    }
    rendering.html = writer.Finish();
    return rendering;
}

} // namespace faulttrap
