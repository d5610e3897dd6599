// Decodes arbitrary bytes as a JCALG1 block (output bounded by 1 MiB), then checks that the
// same bytes encoded at a level picked from them decode back unchanged.
#include "package/jcalg1.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size >= 6) {
        const uint32_t declared =
            static_cast<uint32_t>(data[2]) | static_cast<uint32_t>(data[3]) << 8 |
            static_cast<uint32_t>(data[4]) << 16 | static_cast<uint32_t>(data[5]) << 24;
        const size_t plainSize = declared <= (1u << 20) ? declared : (size_t{1} << 20);
        std::vector<uint8_t> out(plainSize);
        const size_t got = vuni::Jcalg1Decode(data, size, out.data(), plainSize);
        if (got != 0 && got != plainSize) {
            std::abort();
        }
    }
    if (size != 0) {
        const int level = 1 + data[0] % 9;
        const std::string block = vuni::Jcalg1Encode(data, size, level);
        std::vector<uint8_t> back(size);
        if (block.empty() ||
            vuni::Jcalg1Decode(reinterpret_cast<const uint8_t*>(block.data()), block.size(),
                               back.data(), size) != size ||
            std::memcmp(back.data(), data, size) != 0) {
            std::abort();
        }
    }
    return 0;
}
