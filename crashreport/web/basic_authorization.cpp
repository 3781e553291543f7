#include "basic_authorization.h"

namespace faulttrap {

namespace {

std::string Base64(const std::string& bytes) {
    static constexpr char alphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string encoded;
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const unsigned group = static_cast<unsigned char>(bytes[i]) << 16 |
                               static_cast<unsigned char>(bytes[i + 1]) << 8 |
                               static_cast<unsigned char>(bytes[i + 2]);
        for (int shift = 18; shift >= 0; shift -= 6)
            encoded += alphabet[(group >> shift) & 0x3F];
    }
    const std::size_t left = bytes.size() - i;
    if (left > 0) {
        unsigned group = static_cast<unsigned char>(bytes[i]) << 16;
        if (left == 2)
            group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        encoded += alphabet[(group >> 18) & 0x3F];
        encoded += alphabet[(group >> 12) & 0x3F];
        encoded += left == 2 ? alphabet[(group >> 6) & 0x3F] : '=';
        encoded += '=';
    }
    return encoded;
}

} // namespace

std::string BasicAuthorization(const std::string& userName, const std::string& password) {
    return "Basic " + Base64(userName + ':' + password);
}

} // namespace faulttrap
