// The response parser fed from arbitrary bytes: the first byte picks how the rest is cut
// into reads, so that line ends and chunk framing fall across read boundaries.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "update/http_response.h"

namespace {

class PieceSource : public vuni::ByteSource {
public:
    PieceSource(const uint8_t* data, size_t size, size_t piece)
        : data_(data), size_(size), piece_(piece) {}
    int64_t Receive(char* buffer, size_t size, uint32_t) override {
        if (pos_ >= size_) {
            return pos_++ == size_ ? 0 : -2;
        }
        size_t n = size_ - pos_;
        n = n < size ? n : size;
        n = n < piece_ ? n : piece_;
        for (size_t i = 0; i < n; ++i) {
            buffer[i] = static_cast<char>(data_[pos_ + i]);
        }
        pos_ += n;
        return static_cast<int64_t>(n);
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t piece_;
    size_t pos_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const size_t piece = static_cast<size_t>(data[0] % 16) + 1;
    vuni::HttpLimits limits;
    limits.body = 64 * 1024; // keep runs fast; the bounds are the same code
    PieceSource source(data + 1, size - 1, piece == 16 ? size : piece);
    const vuni::HttpResponseParser response = vuni::ReadHttpResponse(source, {}, limits);
    if (response.Body().size() > limits.body) {
        std::abort();
    }
    if (response.State() == vuni::HttpState::Reading) {
        std::abort(); // the reader always ends with a verdict
    }
    return 0;
}
