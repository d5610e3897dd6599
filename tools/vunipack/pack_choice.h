// Whether a file goes into the package compressed or stored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace vuni::pack {

using EncodeFunction = std::function<std::string(const uint8_t* data, size_t size, int level)>;
using DecodeFunction =
    std::function<size_t(const uint8_t* src, size_t srcSize, uint8_t* dst, size_t plainSize)>;

struct StoredForm {
    std::string bytes;   // what follows the record: the stream, or the plain content
    bool packed = false; // false: the writer stores bytes scrambled
    std::string warning; // not empty when compression was refused for a fault of its own
};

// The JCALG1 stream when it is not empty, begins with "JC", is smaller than the file, stays
// within the expansion the reader accepts, and decodes back to the file's exact bytes;
// otherwise the plain content. store forces the plain content.
StoredForm ChooseStoredForm(const std::string& data, bool store, int level,
                            const EncodeFunction& encode, const DecodeFunction& decode);

// The same with the package's own codec.
StoredForm ChooseStoredForm(const std::string& data, bool store, int level);

} // namespace vuni::pack
