#include "crashreport/web/http_request.h"

#include "crashreport/web/file_contents.h"
#include "crashreport/web/multipart_body.h"
#include "crashreport/web/percent_encoding.h"

namespace faulttrap {

namespace {

std::string QueryOf(const std::vector<THTTPField>& fields) {
    std::string query;
    for (const THTTPField& field : fields) {
        if (!query.empty()) {
            query += '&';
        }
        query += PercentEncode(field.name) + '=' + PercentEncode(field.value);
    }
    return query;
}

std::string FormOf(const std::vector<THTTPField>& fields) {
    std::string form;
    for (const THTTPField& field : fields) {
        if (!form.empty()) {
            form += '&';
        }
        form += field.name + '=' + PercentEncode(field.value);
    }
    return form;
}

std::string MultipartOf(const THTTPRequest& request, const std::string& boundary) {
    TMultipartBody body(boundary);
    for (const THTTPField& field : request.fields) {
        body.AddField(field.name, field.value);
    }
    for (const THTTPField& file : request.files) {
        if (const auto content = ReadFileIfPresent(file.value)) {
            body.AddFile(file.name, FileNameOf(file.value), *content);
        } else {
            body.AddFile(file.name, "", "");
        }
    }
    return body.Finish();
}

} // namespace

THTTPRequestContent BuildRequestContent(const THTTPRequest& request, const std::string& boundary) {
    THTTPRequestContent content;
    content.target = request.path;
    switch (request.method) {
    case THTTPMethod::Get:
        if (!request.fields.empty()) {
            content.target += request.path.find('?') == std::string::npos ? '?' : '&';
            content.target += QueryOf(request.fields);
        }
        break;
    case THTTPMethod::PostForm:
        content.contentType = "application/x-www-form-urlencoded";
        content.body = FormOf(request.fields);
        break;
    case THTTPMethod::PostMultipart:
        content.contentType = "multipart/form-data; boundary=" + boundary;
        content.body = MultipartOf(request, boundary);
        break;
    }
    return content;
}

} // namespace faulttrap
