#pragma once

#include "crashreport/options/customized_texts.h"
#include "crashreport/options/exception_filters.h"
#include "crashreport/options/option_values.h"
#include "crashreport/text/faulttrap_error.h"

#include <cstdint>
#include <istream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace faulttrap {

// The version of the subsystem data that this library writes; an options stream carries no
// version of its own and is read with the version of the data it comes from.
inline constexpr int kCurrentDataVersion = 6006;
// Streams of versions before this one have another layout and are refused.
inline constexpr int kFirstOptionsStreamVersion = 6000;

// Every byte of every text in an options stream is XORed with this key. It keeps texts such as
// passwords from showing in a plain dump of the program file; it is no protection.
inline constexpr std::uint8_t kOptionsTextKey = 0xA5;

// A stream that cannot be read as options: truncated, holding impossible values, or of an unknown
// version. The message says what and where.
class OptionsStreamError : public Error {
public:
    explicit OptionsStreamError(const std::string& message) : Error(message) {}
};

// Everything an options stream holds.
struct TFaultOptionsContent {
    TFaultOptionValues Values;
    std::vector<TFaultExceptionFilter> Filters;
    TCustomizedTexts Texts;

    bool operator==(const TFaultOptionsContent&) const = default;
};

// A text as the stream gives it back: a text longer than one character whose first CR LF is its
// last two characters loses that CR LF.
std::string TextAsStreamed(std::string text);

std::string EncodeOptionsStream(const TFaultOptionsContent& content);

// Reads the fields from the start of `bytes`; bytes after them are an error.
TFaultOptionsContent DecodeOptionsStream(std::string_view bytes, int dataVersion);
// Reads the fields from the stream's current position and leaves it just behind them.
TFaultOptionsContent DecodeOptionsStream(std::istream& stream, int dataVersion);

} // namespace faulttrap
