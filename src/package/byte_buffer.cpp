#include "package/byte_buffer.h"

#include <new>

namespace vuni {

bool ByteBuffer::Allocate(size_t size) {
    data_.reset(new (std::nothrow) uint8_t[size == 0 ? 1 : size]);
    size_ = data_ ? size : 0;
    return data_ != nullptr;
}

void ByteBuffer::Release() {
    data_.reset();
    size_ = 0;
}

} // namespace vuni
