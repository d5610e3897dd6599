// A byte buffer that may not exist, whose allocation failure is a result, not an exception.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace vuni {

class ByteBuffer {
public:
    bool Exists() const { return data_ != nullptr; }
    size_t Size() const { return size_; }
    uint8_t* Data() { return data_.get(); }
    const uint8_t* Data() const { return data_.get(); }

    // A new buffer of size bytes (content undefined); false, and no buffer, when memory
    // runs out.
    bool Allocate(size_t size);
    void Release();

private:
    std::unique_ptr<uint8_t[]> data_;
    size_t size_ = 0;
};

} // namespace vuni
