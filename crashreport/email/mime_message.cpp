#include "crashreport/email/mime_message.h"

#include "crashreport/email/mail_text.h"

#include "crashreport/packaging/base64.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

namespace faulttrap {

namespace {

constexpr const char* MessageIdDomain = "faulttrap.invalid";
constexpr const char* WeekDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* Months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                  "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

std::optional<std::string> ReadWholeFile(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return std::nullopt;
    }
    std::ifstream file(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (!file.good() && !file.eof()) {
        return std::nullopt;
    }
    return bytes;
}

bool IsPng(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    for (char& c : extension) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return extension == ".PNG";
}

// Every line break as CR LF: a bare line feed is not allowed inside a mail.
std::string WithCrLf(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            out += "\r\n";
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else {
            out += text[i];
        }
    }
    return out;
}

// Quoted-printable (RFC 2045 6.7) over CR LF lines: no line of the mail is longer than 76
// characters, whatever the text holds, and a reader decodes the text's own lines unchanged.
// Leading dots are left to the SMTP transparency.
std::string QuotedPrintable(std::string_view text) {
    constexpr std::size_t MaxLine = 76;
    constexpr const char* Hex = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    std::size_t column = 0;
    const auto put = [&](std::string_view piece) {
        if (column + piece.size() > MaxLine - 1) { // room for the soft break "="
            out += "=\r\n";
            column = 0;
        }
        out += piece;
        column += piece.size();
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            out += "\r\n";
            column = 0;
            ++i;
            continue;
        }
        const bool atLineEnd = i + 1 == text.size() || text[i + 1] == '\r';
        const bool plain = (byte >= 33 && byte <= 126 && byte != '=') ||
                           ((byte == ' ' || byte == '\t') && !atLineEnd);
        if (plain) {
            put(std::string_view(text.data() + i, 1));
        } else {
            const char encoded[3] = {'=', Hex[byte >> 4], Hex[byte & 15]};
            put(std::string_view(encoded, 3));
        }
    }
    return out;
}

void AppendAttachment(std::string& out, const TMailAttachment& attachment,
                      const std::string& bytes) {
    out += "\r\n--";
    out += MimeBoundary;
    out += "\r\nContent-Type: ";
    out += IsPng(attachment.path) ? "image/png" : "application/octet-stream";
    out += ";\r\n        name=\"" + attachment.name + "\"\r\n";
    out += "Content-Transfer-Encoding: base64\r\n";
    out += "Content-Disposition: attachment;\r\n";
    out += "        filename=\"" + attachment.name + "\"\r\n\r\n";
    const std::string text = ToBase64(bytes);
    for (std::size_t at = 0; at < text.size(); at += Base64LineLength) {
        if (at > 0) {
            out += "\r\n";
        }
        out.append(text, at, Base64LineLength);
    }
    out += "\r\n";
}

// SMTP transparency: a line that starts with "." gets one more.
std::string DoubleLeadingDots(const std::string& content) {
    std::string out;
    out.reserve(content.size() + 16);
    std::size_t from = 0;
    if (content.starts_with('.')) {
        out += '.';
    }
    for (std::size_t dot = content.find("\n."); dot != std::string::npos;
         dot = content.find("\n.", dot + 1)) {
        out.append(content, from, dot + 1 - from);
        out += '.';
        from = dot + 1;
    }
    out.append(content, from, std::string::npos);
    return out;
}

} // namespace

std::string SmtpDate(std::time_t time) {
    std::tm local{};
    localtime_r(&time, &local);
    const long hours = local.tm_gmtoff / 3600;
    char text[64];
    std::snprintf(text, sizeof text, "%s, %d %s %d %02d:%02d:%02d %c%02ld00",
                  WeekDays[local.tm_wday], local.tm_mday, Months[local.tm_mon],
                  local.tm_year + 1900, local.tm_hour, local.tm_min, local.tm_sec,
                  local.tm_gmtoff < 0 ? '-' : '+', hours < 0 ? -hours : hours);
    return text;
}

std::string BuildSmtpMessage(const TMailMessage& message, std::string_view recipient,
                             std::time_t now, std::uint64_t tickCount) {
    std::string out;
    out += "Date: " + SmtpDate(now) + "\r\n";
    out += "From: " + message.fromHeader + "\r\n";
    out += "Subject: " + ReplaceControlRuns(message.subject) + "\r\n";
    out += "To: <" + ReplaceControlRuns(recipient) + ">\r\n";
    out += "Content-Type: multipart/mixed; boundary=\"" + std::string(MimeBoundary) + "\";\r\n";
    out += "MIME-Version: 1.0\r\n";
    out += "Message-ID: <" + std::to_string(tickCount) + "@" + MessageIdDomain + ">\r\n";
    out += "\r\nThis is a multi-part message in MIME format\r\n\r\n";
    out += "--" + std::string(MimeBoundary) + "\r\n";
    out += "Content-Type: text/plain\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n";
    out += QuotedPrintable(WithCrLf(message.text)) + "\r\n";
    for (const TMailAttachment& attachment : message.attachments) {
        if (const std::optional<std::string> bytes = ReadWholeFile(attachment.path)) {
            AppendAttachment(out, attachment, *bytes);
        }
    }
    out += "--" + std::string(MimeBoundary) + "--\r\n";
    return DoubleLeadingDots(out) + ".\r\n";
}

} // namespace faulttrap
