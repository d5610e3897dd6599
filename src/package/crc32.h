// CRC-32 (the polynomial of zip, PNG and Ethernet, reflected, 0xEDB88320), computed in
// pieces.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vuni {

class Crc32 {
public:
    Crc32();
    void Update(const void* data, size_t size);
    uint32_t Value() const { return ~state_; }

private:
    uint32_t table_[256];
    uint32_t state_ = 0xFFFFFFFFu;
};

} // namespace vuni
