#pragma once

#include <string>
#include <string_view>

namespace faulttrap {

// The answer to one exchange (after the redirects that were followed).
struct THTTPResponse {
    int statusCode = 0;
    std::string statusText;
    std::string headers; // as received, one "Name: value" line after the other
    std::string body;    // every byte below 32 turned into a space
    std::string page;    // the page the answer came from: see PageNameOf
    int errorCode = 0;   // 0, or why the exchange failed
    std::string errorText;
};

// The text after the last "/" and before any "?" of a request path or address.
std::string PageNameOf(std::string_view path);

// Every byte below 32 turned into a space.
void BlankControlBytes(std::string& text);

// Reads "HTTP/1.1 404 Not Found": `code` 404 and `text` "Not Found"; `code` 0 and `text` empty
// when the line has no three-digit status.
void ParseStatusLine(std::string_view line, int& code, std::string& text);

// The value of the first header line named `name` (ignoring case), trimmed; empty when absent.
std::string HeaderValue(std::string_view headers, std::string_view name);

} // namespace faulttrap
