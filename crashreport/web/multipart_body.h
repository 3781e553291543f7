#pragma once

#include <string>
#include <string_view>

namespace faulttrap {

// "---------------------------" followed by three random 4-digit upper-case hexadecimal numbers.
std::string RandomMultipartBoundary();

// A "multipart/form-data" body built part by part.
class TMultipartBody {
public:
    explicit TMultipartBody(std::string boundary = RandomMultipartBoundary());

    const std::string& Boundary() const { return boundary_; }
    std::string ContentType() const;

    void AddField(std::string_view name, std::string_view value);
    // A file part; a file that does not exist is sent with an empty `fileName` and no content.
    void AddFile(std::string_view fieldName, std::string_view fileName, std::string_view content);
    // Closes the body and hands it over; the builder is empty afterwards.
    std::string Finish();

private:
    std::string boundary_;
    std::string body_;
};

} // namespace faulttrap
