#include "crashreport/debuginfo/zlib_codec.h"

#include "crashreport/debuginfo/debug_data_error.h"

#include <algorithm>
#include <limits>
#include <string>
#include <zlib.h>

namespace faulttrap {

std::vector<std::uint8_t> ZlibCompress(std::span<const std::uint8_t> data) {
    uLongf size = compressBound(data.size());
    std::vector<std::uint8_t> out(size);
    if (compress2(out.data(), &size, data.data(), data.size(), Z_BEST_COMPRESSION) != Z_OK) {
        throw DebugDataError("compression failed");
    }
    out.resize(size);
    return out;
}

namespace {

// Owns an inflate stream so that every exit path ends it.
class Inflater {
public:
    Inflater() {
        if (inflateInit(&stream_) != Z_OK) {
            throw DebugDataError("decompression could not start");
        }
    }
    ~Inflater() { inflateEnd(&stream_); }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;
    z_stream& Stream() { return stream_; }

private:
    z_stream stream_{};
};

// Inflates into out until it is full or the stream ends; whether the stream ended.
bool InflateInto(z_stream& stream, std::uint8_t* out, std::size_t size) {
    stream.next_out = out;
    stream.avail_out = static_cast<uInt>(size);
    for (;;) {
        const int status = inflate(&stream, Z_NO_FLUSH);
        if (status == Z_STREAM_END) {
            return true;
        }
        if (status == Z_BUF_ERROR && stream.avail_in == 0) {
            throw DebugDataError("compressed data is incomplete");
        }
        if (status != Z_OK && status != Z_BUF_ERROR) {
            throw DebugDataError("compressed data is damaged");
        }
        if (stream.avail_out == 0) {
            return false;
        }
    }
}

// Inflates exactly `length` bytes into out: the stream must end there, neither sooner nor later
// (its end is looked for with room for one byte more, which must stay unused).
void InflateExactly(z_stream& stream, std::uint8_t* out, std::size_t length) {
    std::uint8_t beyond = 0;
    const bool ended = InflateInto(stream, length ? out : &beyond, length);
    if (ended && stream.avail_out != 0) {
        throw DebugDataError("compressed data is shorter than its length");
    }
    if (!ended && (!InflateInto(stream, &beyond, 1) || stream.avail_out == 0)) {
        throw DebugDataError("unexpected bytes after the counted data");
    }
}

} // namespace

std::vector<std::uint8_t> ZlibDecompressExact(std::span<const std::uint8_t> data,
                                              std::size_t length) {
    if (data.size() > std::numeric_limits<uInt>::max() ||
        length > std::numeric_limits<uInt>::max()) {
        throw DebugDataError("compressed data too large");
    }
    Inflater inflater;
    z_stream& stream = inflater.Stream();
    stream.next_in = const_cast<Bytef*>(data.data());
    stream.avail_in = static_cast<uInt>(data.size());
    std::vector<std::uint8_t> out(length);
    InflateExactly(stream, out.data(), length);
    return out;
}

std::vector<std::uint8_t> ZlibDecompressCounted(std::span<const std::uint8_t> data,
                                                std::size_t maxOutput) {
    Inflater inflater;
    z_stream& stream = inflater.Stream();
    stream.next_in = const_cast<Bytef*>(data.data());
    stream.avail_in = static_cast<uInt>(data.size());

    std::uint8_t head[4];
    if (InflateInto(stream, head, sizeof head) && stream.avail_out != 0) {
        throw DebugDataError("compressed data ends within its length");
    }
    const std::uint32_t length = std::uint32_t{head[0]} | std::uint32_t{head[1]} << 8 |
                                 std::uint32_t{head[2]} << 16 | std::uint32_t{head[3]} << 24;
    if (length > maxOutput) {
        throw DebugDataError("decompressed data exceeds " + std::to_string(maxOutput) + " bytes");
    }
    std::vector<std::uint8_t> out(length);
    InflateExactly(stream, out.data(), length);
    if (stream.avail_in != 0) {
        throw DebugDataError("unexpected bytes after the compressed data");
    }
    return out;
}

std::vector<std::uint8_t> ZlibDecompress(std::span<const std::uint8_t> data,
                                         std::size_t maxOutput) {
    Inflater inflater;
    z_stream& stream = inflater.Stream();
    stream.next_in = const_cast<Bytef*>(data.data());
    stream.avail_in = static_cast<uInt>(data.size());

    std::vector<std::uint8_t> out;
    int status = Z_OK;
    while (status != Z_STREAM_END) {
        if (out.size() == maxOutput) {
            throw DebugDataError("decompressed data exceeds " + std::to_string(maxOutput) +
                                 " bytes");
        }
        const std::size_t done = out.size();
        const std::size_t chunk = std::min<std::size_t>(maxOutput - done, 1 << 16);
        out.resize(done + chunk);
        stream.next_out = out.data() + done;
        stream.avail_out = static_cast<uInt>(chunk);
        status = inflate(&stream, Z_NO_FLUSH);
        out.resize(done + chunk - stream.avail_out);
        if (status == Z_BUF_ERROR && stream.avail_in == 0) {
            throw DebugDataError("compressed data is incomplete");
        }
        if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) {
            throw DebugDataError("compressed data is damaged");
        }
    }
    if (stream.avail_in != 0) {
        throw DebugDataError("unexpected bytes after the compressed data");
    }
    return out;
}

} // namespace faulttrap
