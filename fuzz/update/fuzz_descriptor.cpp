// The version descriptor reader and the date parser on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "update/date_mask.h"
#include "update/version_descriptor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const vuni::VersionDescriptor d = vuni::ParseVersionDescriptor(bytes);
    if (d.nameNewVersion.size() > size || d.newDate.size() > size) {
        std::abort();
    }
    const int64_t seconds = vuni::ParseDateMask("%dd/%mm/%yyyy %hh:%ii", d.newDate);
    // Whatever parses formats back to the same instant.
    const std::string shown = vuni::FormatDateSeconds("%dd/%mm/%yyyy %hh:%ii:%ss", seconds);
    if (vuni::ParseDateMask("%dd/%mm/%yyyy %hh:%ii:%ss", shown) != seconds) {
        std::abort();
    }
    return 0;
}
