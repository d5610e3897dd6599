// Helpers shared by the fuzz targets: a program file held in memory, and the cutting of one
// input into several texts.
#pragma once

#include "platform/host.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace vuni::fuzz {

// A HostFile over bytes in memory; each read hands out at most piece bytes, so that readers
// meet the short reads a real file may give.
class MemoryFile : public HostFile {
public:
    explicit MemoryFile(std::string_view bytes, size_t piece = SIZE_MAX)
        : bytes_(bytes), piece_(std::max<size_t>(piece, 1)) {}
    int64_t Size() override { return static_cast<int64_t>(bytes_.size()); }
    bool Seek(int64_t offset) override {
        if (offset < 0) {
            return false;
        }
        pos_ = static_cast<size_t>(offset);
        return true;
    }
    int64_t Read(void* buffer, int64_t size) override {
        if (size <= 0 || pos_ >= bytes_.size()) {
            return 0;
        }
        const size_t n = std::min({static_cast<size_t>(size), bytes_.size() - pos_, piece_});
        std::memcpy(buffer, bytes_.data() + pos_, n);
        pos_ += n;
        return static_cast<int64_t>(n);
    }

private:
    std::string_view bytes_;
    size_t piece_;
    size_t pos_ = 0;
};

// The input cut at its first count - 1 zero bytes into count texts (missing ones empty).
inline std::vector<std::string_view> SplitFields(const uint8_t* data, size_t size, size_t count) {
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> fields;
    while (fields.size() + 1 < count) {
        const size_t zero = rest.find('\0');
        fields.push_back(rest.substr(0, zero));
        rest = zero == std::string_view::npos ? std::string_view() : rest.substr(zero + 1);
    }
    fields.push_back(rest);
    return fields;
}

} // namespace vuni::fuzz
