#include "crashreport/options/options_stream.h"
#include "crashreport/options/options_stream_fields.h"

#include <algorithm>
#include <type_traits>

namespace faulttrap {

namespace {

// Where the reader takes its bytes from; Read returns fewer bytes than asked only at the end.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::size_t Read(char* destination, std::size_t count) = 0;
};

class ViewSource : public ByteSource {
public:
    explicit ViewSource(std::string_view bytes) : bytes_(bytes) {}
    std::size_t Read(char* destination, std::size_t count) override {
        const std::size_t taken = std::min(count, bytes_.size());
        std::copy_n(bytes_.data(), taken, destination);
        bytes_.remove_prefix(taken);
        return taken;
    }
    std::size_t Remaining() const { return bytes_.size(); }

private:
    std::string_view bytes_;
};

class IStreamSource : public ByteSource {
public:
    explicit IStreamSource(std::istream& stream) : stream_(stream) {}
    std::size_t Read(char* destination, std::size_t count) override {
        stream_.read(destination, static_cast<std::streamsize>(count));
        return static_cast<std::size_t>(stream_.gcount());
    }

private:
    std::istream& stream_;
};

std::string Damaged(const std::string& what) {
    return "Damaged options stream: " + what;
}

class FieldReader {
public:
    explicit FieldReader(ByteSource& source) : source_(source) {}

    void operator()(std::uint8_t& value, const char* name) { value = Byte(name); }
    void operator()(bool& value, const char* name) {
        const std::uint8_t raw = Byte(name);
        if (raw > 1) {
            Invalid(raw, name);
        }
        value = raw == 1;
    }
    void operator()(std::uint16_t& value, const char* name) {
        value = static_cast<std::uint16_t>(LittleEndian(2, name));
    }
    void operator()(std::int32_t& value, const char* name) {
        value = static_cast<std::int32_t>(static_cast<std::uint32_t>(LittleEndian(4, name)));
    }
    void operator()(TFaultReportFields& value, const char* name) {
        value = TFaultReportFields(LittleEndian(6, name));
    }
    template <class E>
        requires std::is_enum_v<E>
    void operator()(E& value, const char* name) {
        const std::uint8_t raw = Byte(name);
        if (raw > stream_fields::MaxValue(E{})) {
            Invalid(raw, name);
        }
        value = static_cast<E>(raw);
    }
    void operator()(std::string& text, const char* name) {
        const std::uint32_t length = static_cast<std::uint32_t>(LittleEndian(4, name));
        text.clear();
        // Grow with the bytes actually present, so that a hostile length costs no memory.
        constexpr std::size_t kChunk = 64 * 1024;
        while (text.size() < length) {
            const std::size_t want = std::min<std::size_t>(kChunk, length - text.size());
            const std::size_t had = text.size();
            text.resize(had + want);
            const std::size_t got = source_.Read(text.data() + had, want);
            offset_ += got;
            if (got < want) {
                throw OptionsStreamError(Damaged(
                    "it ends inside the text " + std::string(name) + " (" + std::to_string(length) +
                    " bytes announced, " + std::to_string(had + got) + " present)."));
            }
        }
        for (char& c : text) {
            c = static_cast<char>(static_cast<std::uint8_t>(c) ^ kOptionsTextKey);
        }
    }

    void Filters(std::vector<TFaultExceptionFilter>& filters) {
        std::int32_t count = 0;
        (*this)(count, "filter count");
        if (count < 0) {
            throw OptionsStreamError(
                Damaged("the filter count is negative (" + std::to_string(count) + ")."));
        }
        filters.clear();
        for (std::int32_t i = 0; i < count; ++i) {
            TFaultExceptionFilter filter;
            stream_fields::VisitFilter(*this, filter);
            filters.push_back(std::move(filter));
        }
    }
    void Texts(TCustomizedTexts& texts) {
        for (std::size_t i = 0; i < TCustomizedTexts::Count; ++i) {
            const std::string name = "customized text " + std::to_string(i);
            std::string text;
            (*this)(text, name.c_str());
            texts.SetText(TextIdOfNumber(i), std::move(text));
        }
    }

private:
    std::uint8_t Byte(const char* name) { return static_cast<std::uint8_t>(LittleEndian(1, name)); }

    std::uint64_t LittleEndian(int bytes, const char* name) {
        unsigned char raw[8] = {};
        const std::size_t got = source_.Read(reinterpret_cast<char*>(raw), bytes);
        if (got < static_cast<std::size_t>(bytes)) {
            throw OptionsStreamError(Damaged("it ends inside " + std::string(name) + " (byte " +
                                             std::to_string(offset_ + got) + ")."));
        }
        fieldStart_ = offset_;
        offset_ += got;
        std::uint64_t value = 0;
        for (int i = bytes - 1; i >= 0; --i) {
            value = (value << 8) | raw[i];
        }
        return value;
    }

    [[noreturn]] void Invalid(unsigned raw, const char* name) const {
        throw OptionsStreamError(Damaged(std::string(name) + " holds the impossible value " +
                                         std::to_string(raw) + " (byte " +
                                         std::to_string(fieldStart_) + ")."));
    }

    ByteSource& source_;
    std::uint64_t offset_ = 0;
    std::uint64_t fieldStart_ = 0;
};

void CheckVersion(int dataVersion) {
    if (dataVersion < kFirstOptionsStreamVersion || dataVersion > kCurrentDataVersion) {
        throw OptionsStreamError("Options of data version " + std::to_string(dataVersion) +
                                 " cannot be read: only versions " +
                                 std::to_string(kFirstOptionsStreamVersion) + " to " +
                                 std::to_string(kCurrentDataVersion) + " are known.");
    }
}

TFaultOptionsContent Decode(ByteSource& source) {
    TFaultOptionsContent content;
    FieldReader reader(source);
    stream_fields::VisitOptions(reader, content);
    return content;
}

} // namespace

TFaultOptionsContent DecodeOptionsStream(std::string_view bytes, int dataVersion) {
    CheckVersion(dataVersion);
    ViewSource source(bytes);
    TFaultOptionsContent content = Decode(source);
    if (source.Remaining() != 0) {
        throw OptionsStreamError(
            Damaged(std::to_string(source.Remaining()) + " unexpected bytes follow the options."));
    }
    return content;
}

TFaultOptionsContent DecodeOptionsStream(std::istream& stream, int dataVersion) {
    CheckVersion(dataVersion);
    IStreamSource source(stream);
    return Decode(source);
}

} // namespace faulttrap
