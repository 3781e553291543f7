#include "crashreport/report/value_formats.h"

#include "crashreport/report/report_text.h"

#include <arpa/inet.h>
#include <cstdio>
#include <ctime>

namespace faulttrap {

namespace {

std::tm LocalTime(ReportClock::time_point time) {
    const std::time_t seconds = ReportClock::to_time_t(time);
    std::tm local{};
    localtime_r(&seconds, &local);
    return local;
}

std::string Counted(long long count, const char* unit) {
    return std::to_string(count) + ' ' + unit + (count > 1 ? "s" : "");
}

} // namespace

std::string FormatReportDate(ReportClock::time_point time) {
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const std::tm local = LocalTime(time);
    const int hours = static_cast<int>(local.tm_gmtoff / 3600) % 100;
    char zone[16];
    std::snprintf(zone, sizeof zone, "%c%02d00", hours < 0 ? '-' : '+', hours < 0 ? -hours : hours);
    char text[96];
    std::snprintf(text, sizeof text, "%s, %d %s %d %02d:%02d:%02d %s", kDays[local.tm_wday],
                  local.tm_mday, kMonths[local.tm_mon], local.tm_year + 1900, local.tm_hour,
                  local.tm_min, local.tm_sec, zone);
    return text;
}

std::string FormatDuration(std::chrono::milliseconds duration) {
    long long seconds = std::chrono::duration_cast<std::chrono::seconds>(duration).count();
    if (seconds < 0) {
        seconds = 0;
    }
    const long long days = seconds / 86400;
    const long long hours = seconds / 3600 % 24;
    const long long minutes = seconds / 60 % 60;
    std::string text;
    if (days != 0) {
        text += Counted(days, "day") + ", ";
    }
    if (hours != 0) {
        text += Counted(hours, "hour") + ", ";
    }
    if (minutes != 0) {
        text += Counted(minutes, "minute") + ", ";
    }
    return text + Counted(seconds % 60, "second");
}

std::string FormatMegabytes(std::uint64_t bytes) {
    constexpr std::uint64_t kMiB = 1048576;
    std::uint64_t whole = bytes / kMiB;
    const std::uint64_t rest = bytes % kMiB;
    if (rest * 2 > kMiB || (rest * 2 == kMiB && whole % 2 == 1)) {
        ++whole;
    }
    return std::to_string(whole) + " Mb";
}

std::string FormatGigabytes(std::uint64_t bytes) {
    constexpr unsigned __int128 kGiB = 1073741824;
    const unsigned __int128 hundredths =
        (static_cast<unsigned __int128>(bytes) * 100 + kGiB / 2) / kGiB;
    std::string text = std::to_string(static_cast<std::uint64_t>(hundredths / 100));
    const unsigned cents = static_cast<unsigned>(hundredths % 100);
    if (cents != 0) {
        text += '.';
        text += static_cast<char>('0' + cents / 10);
        if (cents % 10 != 0) {
            text += static_cast<char>('0' + cents % 10);
        }
    }
    return text + " Gb";
}

std::string FormatExceptionMessage(const std::optional<std::string>& message) {
    if (!message) {
        return "Unknown error message.";
    }
    if (!message->empty() && message->back() == '.') {
        return *message;
    }
    return *message + '.';
}

std::string AccessViolationMessage(std::uintptr_t codeAddress, std::string_view moduleName,
                                   bool write, std::uintptr_t dataAddress) {
    std::string text = "Access violation at address " + FormatAddress(codeAddress);
    if (!moduleName.empty()) {
        text += " in module '" + std::string(moduleName) + "'";
    }
    return text + ". " + (write ? "Write" : "Read") + " of address " + FormatAddress(dataAddress);
}

std::string FormatAddress(std::uintptr_t address) {
    return Hex(address, kAddressDigits);
}

std::string FormatFileTime(ReportClock::time_point time) {
    const std::tm local = LocalTime(time);
    char text[80];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return text;
}

std::string FormatPaddedIpv4(std::uint32_t networkOrder) {
    const std::uint32_t host = ntohl(networkOrder);
    char text[16];
    std::snprintf(text, sizeof text, "%03u.%03u.%03u.%03u", host >> 24, (host >> 16) & 0xFF,
                  (host >> 8) & 0xFF, host & 0xFF);
    return text;
}

} // namespace faulttrap
