#include "package/crc32.h"

namespace vuni {

Crc32::Crc32() {
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int bit = 0; bit < 8; ++bit) {
            c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        }
        table_[i] = c;
    }
}

void Crc32::Update(const void* data, size_t size) {
    const auto* p = static_cast<const uint8_t*>(data);
    uint32_t c = state_;
    for (size_t i = 0; i < size; ++i) {
        c = table_[(c ^ p[i]) & 0xFF] ^ (c >> 8);
    }
    state_ = c;
}

} // namespace vuni
