#pragma once

#include "connection.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

namespace olvendra::data {

// One row's values in a single allocation: the end offset of each value (uint16), a null bitmap,
// then the bytes of all values. Keeps 100,000 professionals in a few tens of megabytes.
class PackedRow {
public:
    PackedRow() = default;

    static PackedRow Pack(const std::string_view* values, const bool* nulls, std::size_t count) {
        std::size_t header = HeaderSize(count);
        std::size_t total = header;
        for (std::size_t i = 0; i < count; ++i)
            total += nulls[i] ? 0 : values[i].size();
        PackedRow row;
        row.bytes_.reset(new char[total]);
        char* data = row.bytes_.get();
        std::memset(data + count * 2, 0, header - count * 2);
        std::uint16_t end = 0;
        for (std::size_t i = 0; i < count; ++i) {
            if (nulls[i]) {
                data[count * 2 + i / 8] |= static_cast<char>(1 << (i % 8));
            } else {
                std::memcpy(data + header + end, values[i].data(), values[i].size());
                end = static_cast<std::uint16_t>(end + values[i].size());
            }
            std::memcpy(data + i * 2, &end, sizeof end);
        }
        return row;
    }

    static PackedRow Pack(const std::vector<Value>& values) {
        std::vector<std::string_view> views(values.size());
        std::unique_ptr<bool[]> nulls(new bool[values.size()]);
        for (std::size_t i = 0; i < values.size(); ++i) {
            nulls[i] = !values[i];
            if (values[i])
                views[i] = *values[i];
        }
        return Pack(views.data(), nulls.get(), values.size());
    }

    bool isNull(std::size_t column, std::size_t count) const {
        return (bytes_[count * 2 + column / 8] >> (column % 8)) & 1;
    }

    std::string_view view(std::size_t column, std::size_t count) const {
        std::uint16_t begin = column == 0 ? 0 : EndOf(column - 1);
        return {bytes_.get() + HeaderSize(count) + begin,
                static_cast<std::size_t>(EndOf(column) - begin)};
    }

    Value value(std::size_t column, std::size_t count) const {
        if (isNull(column, count))
            return std::nullopt;
        return std::string(view(column, count));
    }

    std::vector<Value> unpack(std::size_t count) const {
        std::vector<Value> values(count);
        for (std::size_t i = 0; i < count; ++i)
            values[i] = value(i, count);
        return values;
    }

    explicit operator bool() const { return bytes_ != nullptr; }

private:
    static std::size_t HeaderSize(std::size_t count) { return count * 2 + (count + 7) / 8; }
    std::uint16_t EndOf(std::size_t column) const {
        std::uint16_t end;
        std::memcpy(&end, bytes_.get() + column * 2, sizeof end);
        return end;
    }

    std::unique_ptr<char[]> bytes_;
};

} // namespace olvendra::data
