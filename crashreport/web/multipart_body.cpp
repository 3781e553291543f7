#include "crashreport/web/multipart_body.h"

#include <cstdio>
#include <random>
#include <utility>

namespace faulttrap {

std::string RandomMultipartBoundary() {
    std::random_device device;
    std::uniform_int_distribution<unsigned> fourDigits(0, 0xFFFF);
    char numbers[13];
    std::snprintf(numbers, sizeof numbers, "%04X%04X%04X", fourDigits(device), fourDigits(device),
                  fourDigits(device));
    return std::string(27, '-') + numbers;
}

TMultipartBody::TMultipartBody(std::string boundary) : boundary_(std::move(boundary)) {}

std::string TMultipartBody::ContentType() const {
    return "multipart/form-data; boundary=" + boundary_;
}

void TMultipartBody::AddField(std::string_view name, std::string_view value) {
    body_.append("--").append(boundary_).append("\r\nContent-Disposition: form-data; name=\"");
    body_.append(name).append("\";\r\n\r\n").append(value).append("\r\n");
}

void TMultipartBody::AddFile(std::string_view fieldName, std::string_view fileName,
                             std::string_view content) {
    body_.append("--").append(boundary_).append("\r\nContent-Disposition: form-data; name=\"");
    body_.append(fieldName).append("\"; filename=\"").append(fileName);
    body_.append("\";\r\nContent-Type: application/octet-stream\r\n\r\n");
    body_.append(content).append("\r\n");
}

std::string TMultipartBody::Finish() {
    body_.append("--").append(boundary_).append("--\r\n");
    return std::exchange(body_, {});
}

} // namespace faulttrap
