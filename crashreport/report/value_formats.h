#pragma once

// The value formats of the bug report.

#include "crashreport/report/report_inputs.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace faulttrap {

// "Tue, 8 Dec 2026 14:05:09 -0300": local time with the whole-hour difference to UTC.
std::string FormatReportDate(ReportClock::time_point time);

// "1 day, 2 hours, 5 seconds": days, hours and minutes when not 0, seconds always.
std::string FormatDuration(std::chrono::milliseconds duration);

// Bytes in MiB rounded to the nearest (halves to even), then " Mb".
std::string FormatMegabytes(std::uint64_t bytes);

// Bytes in GiB with at most two decimals, then " Gb".
std::string FormatGigabytes(std::uint64_t bytes);

// The message of item 2.6: "Unknown error message." for an object that is not an exception;
// a "." is added when the message does not end in one.
std::string FormatExceptionMessage(const std::optional<std::string>& message);

// The message of a faulting memory access; `moduleName` empty when no module holds the code.
std::string AccessViolationMessage(std::uintptr_t codeAddress, std::string_view moduleName,
                                   bool write, std::uintptr_t dataAddress);

// A pointer-sized address in upper-case hexadecimal.
std::string FormatAddress(std::uintptr_t address);

// "yyyy-mm-dd hh:nn:ss" in local time.
std::string FormatFileTime(ReportClock::time_point time);

// An IPv4 address (network byte order) as "000.000.000.000".
std::string FormatPaddedIpv4(std::uint32_t networkOrder);

} // namespace faulttrap
