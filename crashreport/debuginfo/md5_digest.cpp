#include "crashreport/debuginfo/md5_digest.h"

#include "crashreport/debuginfo/debug_data_error.h"
#include "crashreport/debuginfo/library_preload.h"

#include <dlfcn.h>
#include <openssl/md5.h>
#include <openssl/opensslv.h>

#include <string>

namespace faulttrap {

namespace {

// MD5 is deprecated as a security primitive in OpenSSL 3 but is exactly what the key
// derivation of the name cipher is.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
using Md5Function = decltype(&::MD5);
#pragma GCC diagnostic pop

Md5Function Load() {
    // The major version of the headers built against names the library's interface.
    const std::string name = "libcrypto.so." + std::to_string(OPENSSL_VERSION_MAJOR);
    void* library = ::dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        return nullptr;
    }
    const auto md5 = reinterpret_cast<Md5Function>(::dlsym(library, "MD5"));
    if (!md5) {
        ::dlclose(library);
    }
    return md5;
}

Md5Function LoadedMd5() {
    static const Md5Function md5 = Load();
    return md5;
}

} // namespace

void PreloadDigestLibrary() {
    LoadedMd5();
}

std::array<std::uint8_t, 16> Md5Digest(std::string_view bytes) {
    // The digest of no bytes, the key of every container without a password: known, so that
    // such a container is read without libcrypto.
    if (bytes.empty()) {
        return {0xD4, 0x1D, 0x8C, 0xD9, 0x8F, 0x00, 0xB2, 0x04,
                0xE9, 0x80, 0x09, 0x98, 0xEC, 0xF8, 0x42, 0x7E};
    }
    const Md5Function md5 = MayLoadReportLibraries() ? LoadedMd5() : nullptr;
    if (!md5) {
        throw DebugDataError("the MD5 digest of libcrypto is not available");
    }
    std::array<std::uint8_t, 16> digest{};
    static_assert(digest.size() == MD5_DIGEST_LENGTH);
    md5(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), digest.data());
    return digest;
}

} // namespace faulttrap
