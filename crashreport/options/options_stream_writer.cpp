#include "crashreport/options/options_stream.h"
#include "crashreport/options/options_stream_fields.h"

#include <cstdint>
#include <stdexcept>
#include <type_traits>

namespace faulttrap {

namespace {

class FieldWriter {
public:
    explicit FieldWriter(std::string& out) : out_(out) {}

    void operator()(std::uint8_t value, const char*) { Byte(value); }
    void operator()(bool value, const char*) { Byte(value ? 1 : 0); }
    void operator()(std::uint16_t value, const char*) { LittleEndian(value, 2); }
    void operator()(std::int32_t value, const char*) {
        LittleEndian(static_cast<std::uint32_t>(value), 4);
    }
    void operator()(const TFaultReportFields& value, const char*) {
        LittleEndian(value.to_ullong(), 6);
    }
    template <class E>
        requires std::is_enum_v<E>
    void operator()(E value, const char*) {
        Byte(static_cast<std::uint8_t>(value));
    }
    void operator()(const std::string& text, const char*) {
        const std::string stored = TextAsStreamed(text);
        if (stored.size() > UINT32_MAX) {
            throw std::length_error("A text is too long for an options stream.");
        }
        LittleEndian(static_cast<std::uint32_t>(stored.size()), 4);
        for (char c : stored) {
            Byte(static_cast<std::uint8_t>(c) ^ kOptionsTextKey);
        }
    }

    void Filters(const std::vector<TFaultExceptionFilter>& filters) {
        (*this)(static_cast<std::int32_t>(filters.size()), "filter count");
        for (const TFaultExceptionFilter& filter : filters) {
            stream_fields::VisitFilter(*this, filter);
        }
    }
    void Texts(const TCustomizedTexts& texts) {
        for (std::size_t i = 0; i < TCustomizedTexts::Count; ++i) {
            (*this)(texts.StoredText(TextIdOfNumber(i)), "customized text");
        }
    }

private:
    void Byte(unsigned value) { out_.push_back(static_cast<char>(value & 0xFF)); }
    void LittleEndian(std::uint64_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            Byte(static_cast<unsigned>(value >> (8 * i)));
        }
    }

    std::string& out_;
};

} // namespace

std::string TextAsStreamed(std::string text) {
    if (text.size() > 1 && text.find("\r\n") == text.size() - 2) {
        text.resize(text.size() - 2);
    }
    return text;
}

std::string EncodeOptionsStream(const TFaultOptionsContent& content) {
    std::string bytes;
    FieldWriter writer(bytes);
    stream_fields::VisitOptions(writer, content);
    return bytes;
}

} // namespace faulttrap
