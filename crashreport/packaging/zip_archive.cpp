#include "crashreport/packaging/zip_archive.h"

#include "crashreport/packaging/pkware_cipher.h"

#include <minizip/zip.h>
#include <sys/stat.h>
#include <zlib.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

namespace faulttrap {
namespace {

constexpr int DeflateLevel = 9;
constexpr int DeflateMemLevel = 8;
constexpr unsigned long EncryptedFlag = 0x0001;

std::optional<std::string> ReadWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad()) {
        return std::nullopt;
    }
    return bytes;
}

zip_fileinfo EntryInfo(const std::string& path) {
    zip_fileinfo info{};
    struct stat status {};
    std::time_t modified = std::time(nullptr);
    if (stat(path.c_str(), &status) == 0) {
        modified = status.st_mtime;
    }
    std::tm local{};
    localtime_r(&modified, &local);
    info.tmz_date.tm_sec = static_cast<uInt>(local.tm_sec);
    info.tmz_date.tm_min = static_cast<uInt>(local.tm_min);
    info.tmz_date.tm_hour = static_cast<uInt>(local.tm_hour);
    info.tmz_date.tm_mday = static_cast<uInt>(local.tm_mday);
    info.tmz_date.tm_mon = static_cast<uInt>(local.tm_mon);
    info.tmz_date.tm_year = static_cast<uInt>(local.tm_year + 1900);
    return info;
}

// A raw deflate stream (no zlib header): window bits -15, level 9, memory level 8.
std::optional<std::string> RawDeflate(const std::string& data) {
    z_stream stream{};
    if (deflateInit2(&stream, DeflateLevel, Z_DEFLATED, -MAX_WBITS, DeflateMemLevel,
                     Z_DEFAULT_STRATEGY) != Z_OK) {
        return std::nullopt;
    }
    std::string packed(deflateBound(&stream, static_cast<uLong>(data.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(packed.data());
    stream.avail_out = static_cast<uInt>(packed.size());
    const int result = deflate(&stream, Z_FINISH);
    packed.resize(stream.total_out);
    deflateEnd(&stream);
    if (result != Z_STREAM_END) {
        return std::nullopt;
    }
    return packed;
}

bool AddPlainEntry(zipFile zip, const std::string& name, const zip_fileinfo& info,
                   const std::string& data) {
    if (zipOpenNewFileInZip4(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                             DeflateLevel, 0, -MAX_WBITS, DeflateMemLevel, Z_DEFAULT_STRATEGY,
                             nullptr, 0, 0, 0) != ZIP_OK) {
        return false;
    }
    const bool written =
        zipWriteInFileInZip(zip, data.data(), static_cast<unsigned>(data.size())) == ZIP_OK;
    return zipCloseFileInZip(zip) == ZIP_OK && written;
}

// minizip's own encryption writes entries nothing can open, so the entry is written raw: our
// deflate stream behind our cipher's header, with the encryption flag and the CRC set by us.
bool AddEncryptedEntry(zipFile zip, const std::string& name, const zip_fileinfo& info,
                       const std::string& data, const std::string& password) {
    const auto crc = static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
    std::optional<std::string> packed = RawDeflate(data);
    if (!packed) {
        return false;
    }
    TPkwareCipher cipher(password);
    std::string payload = cipher.Header(crc);
    cipher.Encrypt(*packed);
    payload += *packed;
    if (zipOpenNewFileInZip4(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                             DeflateLevel, 1, -MAX_WBITS, DeflateMemLevel, Z_DEFAULT_STRATEGY,
                             nullptr, 0, 0, EncryptedFlag) != ZIP_OK) {
        return false;
    }
    const bool written =
        zipWriteInFileInZip(zip, payload.data(), static_cast<unsigned>(payload.size())) == ZIP_OK;
    return zipCloseFileInZipRaw(zip, static_cast<uLong>(data.size()), crc) == ZIP_OK && written;
}

} // namespace

int CreateZipArchive(const std::string& archivePath, const std::vector<std::string>& files,
                     const std::string& password) {
    std::error_code ignored;
    std::filesystem::remove(archivePath, ignored);
    zipFile zip = zipOpen64(archivePath.c_str(), APPEND_STATUS_CREATE);
    if (zip == nullptr) {
        return 0;
    }
    int entries = 0;
    bool sound = true;
    for (const std::string& file : files) {
        const std::optional<std::string> data = ReadWholeFile(file);
        if (!data) {
            continue;
        }
        const std::string name = std::filesystem::path(file).filename().string();
        const zip_fileinfo info = EntryInfo(file);
        const bool added = password.empty() ? AddPlainEntry(zip, name, info, *data)
                                            : AddEncryptedEntry(zip, name, info, *data, password);
        if (!added) {
            sound = false;
            break;
        }
        ++entries;
    }
    sound = zipClose(zip, nullptr) == ZIP_OK && sound;
    if (!sound) {
        std::filesystem::remove(archivePath, ignored);
        return 0;
    }
    return entries;
}

} // namespace faulttrap
