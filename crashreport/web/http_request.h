#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace faulttrap {

enum class THTTPMethod : std::uint8_t { Get = 0, PostForm = 1, PostMultipart = 2 };

struct THTTPField {
    std::string name;
    std::string value;
};

// The request being prepared on a connection.
struct THTTPRequest {
    std::string path; // the connection's base path + "/" + the page, or an absolute address
    THTTPMethod method = THTTPMethod::Get;
    std::vector<THTTPField> fields;
    std::vector<THTTPField> files; // field name and file path
};

// What goes on the wire for a request.
struct THTTPRequestContent {
    std::string target; // the path, with the fields as a query for a GET
    std::string contentType;
    std::string body;
};

// GET: the fields as a query, names and values percent-encoded. POST form: "&"-joined
// name=value, values percent-encoded. POST multipart: every field, then every file (a missing
// file as a part with an empty file name), with `boundary`. Throws TFileReadError for a file
// that exists but cannot be read.
THTTPRequestContent BuildRequestContent(const THTTPRequest& request, const std::string& boundary);

} // namespace faulttrap
