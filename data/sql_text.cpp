#include "sql_text.h"

#include "errors.h"

#include <cctype>

namespace olvendra::data {

namespace {

bool IsWordChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' || c == '"' ||
           c == '.';
}

// Position of a keyword as a whole word outside quoted literals, or npos.
std::size_t FindKeyword(std::string_view text, std::string_view keyword, std::size_t from = 0) {
    bool inLiteral = false;
    for (std::size_t i = from; i < text.size(); ++i) {
        if (text[i] == '\'') {
            inLiteral = !inLiteral;
            continue;
        }
        if (inLiteral || i + keyword.size() > text.size()) {
            continue;
        }
        if (UpperAscii(text.substr(i, keyword.size())) != keyword) {
            continue;
        }
        bool startsWord = i == 0 || !IsWordChar(text[i - 1]);
        bool endsWord = i + keyword.size() == text.size() || !IsWordChar(text[i + keyword.size()]);
        if (startsWord && endsWord) {
            return i;
        }
    }
    return std::string_view::npos;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
        text.remove_suffix(1);
    }
    return text;
}

// "M.NOME" -> "NOME"; "\"Nome\"" -> "Nome"; "nome" -> "NOME".
std::string Identifier(std::string_view text) {
    if (auto dot = text.rfind('.'); dot != std::string_view::npos) {
        text = text.substr(dot + 1);
    }
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
        return std::string(text.substr(1, text.size() - 2));
    }
    return UpperAscii(text);
}

// The items of a SELECT's ORDER BY clause, trimmed; empty when the statement has none.
std::vector<std::string_view> OrderByItems(std::string_view select) {
    std::vector<std::string_view> items;
    std::size_t order = FindKeyword(select, "ORDER");
    if (order == std::string_view::npos) {
        return items;
    }
    std::size_t by = FindKeyword(select, "BY", order + 5);
    if (by == std::string_view::npos) {
        return items;
    }
    std::string_view list = select.substr(by + 2);
    while (!list.empty()) {
        std::size_t comma = list.find(',');
        std::string_view item = Trim(list.substr(0, comma));
        if (!item.empty()) {
            items.push_back(item);
        }
        if (comma == std::string_view::npos) {
            break;
        }
        list.remove_prefix(comma + 1);
    }
    return items;
}

} // namespace

std::string UpperAscii(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return upper;
}

std::vector<std::string> OrderByColumns(std::string_view select) {
    std::vector<std::string> columns;
    for (std::string_view item : OrderByItems(select)) {
        columns.push_back(Identifier(item.substr(0, item.find_first_of(" \t\r\n"))));
    }
    return columns;
}

std::vector<std::string> OrderByCollations(std::string_view select) {
    std::vector<std::string> collations;
    for (std::string_view item : OrderByItems(select)) {
        std::size_t collate = FindKeyword(item, "COLLATE");
        if (collate == std::string_view::npos) {
            collations.emplace_back();
            continue;
        }
        std::string_view rest = Trim(item.substr(collate + 7));
        collations.push_back(UpperAscii(rest.substr(0, rest.find_first_of(" \t\r\n"))));
    }
    return collations;
}

std::string FromTable(std::string_view select) {
    std::size_t from = FindKeyword(select, "FROM");
    if (from == std::string_view::npos) {
        throw RecordSetError("The statement names no table: " + std::string(select));
    }
    std::string_view rest = Trim(select.substr(from + 4));
    std::size_t end = 0;
    while (end < rest.size() && IsWordChar(rest[end])) {
        ++end;
    }
    if (end == 0) {
        throw RecordSetError("The statement names no table: " + std::string(select));
    }
    return Identifier(rest.substr(0, end));
}

} // namespace olvendra::data
