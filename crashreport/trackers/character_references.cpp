#include "crashreport/trackers/character_references.h"

#include <array>

namespace faulttrap {

namespace {

struct TNamedReference {
    std::string_view text;
    char character;
};

// In the order of replacement: "&amp;" comes before "&lt;", "&gt;" and "&quot;".
constexpr std::array<TNamedReference, 66> NamedReferences{{
    {"&Aacute;", '\xC1'}, {"&Eacute;", '\xC9'}, {"&Iacute;", '\xCD'}, {"&Oacute;", '\xD3'},
    {"&Uacute;", '\xDA'}, {"&Yacute;", '\xDD'}, {"&aacute;", '\xE1'}, {"&eacute;", '\xE9'},
    {"&iacute;", '\xED'}, {"&oacute;", '\xF3'}, {"&uacute;", '\xFA'}, {"&yacute;", '\xFD'},
    {"&Acirc;", '\xC2'},  {"&Ecirc;", '\xCA'},  {"&Icirc;", '\xCE'},  {"&Ocirc;", '\xD4'},
    {"&Ucirc;", '\xDB'},  {"&acirc;", '\xE2'},  {"&ecirc;", '\xEA'},  {"&icirc;", '\xEE'},
    {"&ocirc;", '\xF4'},  {"&ucirc;", '\xFB'},  {"&Agrave;", '\xC0'}, {"&Egrave;", '\xC8'},
    {"&Igrave;", '\xCC'}, {"&Ograve;", '\xD2'}, {"&Ugrave;", '\xD9'}, {"&agrave;", '\xE0'},
    {"&egrave;", '\xE8'}, {"&igrave;", '\xEC'}, {"&ograve;", '\xF2'}, {"&ugrave;", '\xF9'},
    {"&Auml;", '\xC4'},   {"&Euml;", '\xCB'},   {"&Iuml;", '\xCF'},   {"&Ouml;", '\xD6'},
    {"&auml;", '\xE4'},   {"&euml;", '\xEB'},   {"&iuml;", '\xEF'},   {"&ouml;", '\xF6'},
    {"&uuml;", '\xFC'},   {"&yuml;", '\xFF'},   {"&Atilde;", '\xC3'}, {"&atilde;", '\xE3'},
    {"&Otilde;", '\xD5'}, {"&otilde;", '\xF5'}, {"&aring;", '\xE5'},  {"&Aring;", '\xC5'},
    {"&Oslash;", '\xD8'}, {"&oslash;", '\xF8'}, {"&AElig;", '\xC6'},  {"&aelig;", '\xE6'},
    {"&Ntilde;", '\xD1'}, {"&ntilde;", '\xF1'}, {"&Ccedil;", '\xC7'}, {"&ccedil;", '\xE7'},
    {"&szlig;", '\xDF'},  {"&THORN;", '\xDE'},  {"&thorn;", '\xFE'},  {"&ETH;", '\xD0'},
    {"&eth;", '\xF0'},    {"&amp;", '&'},       {"&quot;", '"'},      {"&lt;", '<'},
    {"&gt;", '>'},        {"&nbsp;", ' '},
}};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The length of a "&#" decimal number ";" at `at`, or 0.
std::size_t NumericReferenceLength(std::string_view text, std::size_t at) {
    if (text.substr(at, 2) != "&#") {
        return 0;
    }
    std::size_t end = at + 2;
    while (end < text.size() && IsDigit(text[end])) {
        ++end;
    }
    return end > at + 2 && end < text.size() && text[end] == ';' ? end + 1 - at : 0;
}

// Every occurrence of `reference`, left to right, by `character`; one pass.
void ReplaceEverywhere(std::string& text, const TNamedReference& reference) {
    std::size_t found = text.find(reference.text);
    if (found == std::string::npos) {
        return;
    }
    std::string result;
    result.reserve(text.size());
    std::size_t copied = 0;
    for (; found != std::string::npos; found = text.find(reference.text, copied)) {
        result.append(text, copied, found - copied);
        result += reference.character;
        copied = found + reference.text.size();
    }
    result.append(text, copied);
    text = std::move(result);
}

void DecodeNumericReferences(std::string& text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = NumericReferenceLength(text, at);
        if (length == 0) {
            result += text[at++];
            continue;
        }
        unsigned value = 0; // only the low 8 bits count, so any length of digits is safe
        for (std::size_t digit = at + 2; digit < at + length - 1; ++digit) {
            value = (value * 10 + static_cast<unsigned>(text[digit] - '0')) & 0xFFu;
        }
        result += static_cast<char>(value);
        at += length;
    }
    text = std::move(result);
}

} // namespace

std::string DecodeCharacterReferences(std::string text) {
    if (text.find('&') == std::string::npos) {
        return text;
    }
    for (const TNamedReference& reference : NamedReferences) {
        ReplaceEverywhere(text, reference);
    }
    DecodeNumericReferences(text);
    return text;
}

bool IsKnownReferenceAt(std::string_view text, std::size_t at) {
    if (NumericReferenceLength(text, at) != 0) {
        return true;
    }
    for (const TNamedReference& reference : NamedReferences) {
        if (text.substr(at, reference.text.size()) == reference.text) {
            return true;
        }
    }
    return false;
}

} // namespace faulttrap
