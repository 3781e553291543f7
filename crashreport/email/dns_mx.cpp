#include "crashreport/email/dns_mx.h"

#include <algorithm>
#include <cstdint>

namespace faulttrap {

namespace {

constexpr std::uint16_t QueryId = 0x4141;
constexpr std::uint16_t TypeMX = 15;
constexpr std::uint16_t ClassIN = 1;
constexpr std::size_t HeaderSize = 12;
constexpr std::size_t MaxLabel = 63;
constexpr std::size_t MaxName = 255;

bool IsHostNameCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_';
}

// Reads a DNS answer without ever stepping outside it.
class TDnsReader {
public:
    explicit TDnsReader(std::string_view data) : data_(data) {}

    std::size_t Position() const { return at_; }
    bool Skip(std::size_t count) {
        if (count > data_.size() - at_) {
            return false;
        }
        at_ += count;
        return true;
    }
    std::optional<std::uint16_t> Word() {
        if (data_.size() - at_ < 2) {
            return std::nullopt;
        }
        const auto value = static_cast<std::uint16_t>(Byte(at_) << 8 | Byte(at_ + 1));
        at_ += 2;
        return value;
    }
    // A name at the current position; the position moves past its in-place part. Pointers
    // (bytes 192 and above) must point backwards, which also rules out loops. A host name may
    // hold only letters, digits, "-" and "_" in its labels.
    std::optional<std::string> Name(bool hostName = false) {
        std::string name;
        std::size_t at = at_;
        std::optional<std::size_t> resume;
        std::size_t limit = at_; // a pointer must lead before where the last one stood
        while (true) {
            if (at >= data_.size()) {
                return std::nullopt;
            }
            const std::uint8_t length = Byte(at);
            if (length == 0) {
                ++at;
                break;
            }
            if (length >= 192) {
                if (at + 1 >= data_.size()) {
                    return std::nullopt;
                }
                const std::size_t target =
                    static_cast<std::size_t>(length & 0x3F) << 8 | Byte(at + 1);
                if (target >= limit) {
                    return std::nullopt;
                }
                if (!resume) {
                    resume = at + 2;
                }
                limit = target;
                at = target;
                continue;
            }
            if (length > MaxLabel || data_.size() - at - 1 < length) {
                return std::nullopt;
            }
            const std::string_view label = data_.substr(at + 1, length);
            if (hostName && !std::all_of(label.begin(), label.end(), IsHostNameCharacter)) {
                return std::nullopt;
            }
            if (!name.empty()) {
                name += '.';
            }
            name.append(label);
            if (name.size() > MaxName) {
                return std::nullopt;
            }
            at += 1 + length;
        }
        at_ = resume ? *resume : at;
        return name;
    }

private:
    std::uint8_t Byte(std::size_t at) const { return static_cast<std::uint8_t>(data_[at]); }

    std::string_view data_;
    std::size_t at_ = 0;
};

} // namespace

std::optional<std::string> BuildMxQuery(std::string_view domain) {
    if (domain.ends_with('.')) {
        domain.remove_suffix(1);
    }
    if (domain.empty() || domain.size() > MaxName - 2) {
        return std::nullopt;
    }
    std::string query("\x41\x41\x01\x00\x00\x01\x00\x00\x00\x00\x00\x00", HeaderSize);
    std::size_t start = 0;
    while (start <= domain.size()) {
        const std::size_t end = std::min(domain.find('.', start), domain.size());
        const std::size_t length = end - start;
        if (length == 0 || length > MaxLabel) {
            return std::nullopt;
        }
        query += static_cast<char>(length);
        query.append(domain.substr(start, length));
        start = end + 1;
    }
    query.append("\x00\x00\x0F\x00\x01", 5);
    return query;
}

std::optional<std::string> ParseMxAnswer(std::string_view datagram) {
    if (datagram.size() > MaxDnsDatagram) {
        return std::nullopt;
    }
    TDnsReader reader(datagram);
    const auto id = reader.Word();
    const auto flags = reader.Word();
    const auto questions = reader.Word();
    const auto answers = reader.Word();
    if (!answers || *id != QueryId || !(*flags & 0x8000) || !reader.Skip(4)) {
        return std::nullopt;
    }
    for (std::uint16_t i = 0; i < *questions; ++i) {
        if (!reader.Name() || !reader.Skip(4)) {
            return std::nullopt;
        }
    }
    for (std::uint16_t i = 0; i < *answers; ++i) {
        const auto owner = reader.Name();
        const auto type = reader.Word();
        const auto klass = reader.Word();
        if (!owner || !klass || !reader.Skip(4)) {
            return std::nullopt;
        }
        const auto length = reader.Word();
        if (!length) {
            return std::nullopt;
        }
        const std::size_t end = reader.Position() + *length;
        if (end > datagram.size()) {
            return std::nullopt;
        }
        if (*type == TypeMX && *klass == ClassIN) {
            if (!reader.Word()) { // the preference
                return std::nullopt;
            }
            auto exchange = reader.Name(true);
            if (!exchange || reader.Position() > end) {
                return std::nullopt;
            }
            if (!exchange->empty()) {
                return exchange;
            }
        }
        reader = TDnsReader(datagram);
        reader.Skip(end);
    }
    return std::nullopt;
}

} // namespace faulttrap
