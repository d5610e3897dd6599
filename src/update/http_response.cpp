#include "update/http_response.h"

#include "text/text.h"

#include <algorithm>

namespace vuni {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimRightBlanks(std::string_view s) {
    while (!s.empty() && IsBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// The status code of "HTTP/1.1 200 OK": the three digits of the second field, 0 when the
// line has none.
int ParseStatusCode(std::string_view line) {
    size_t pos = line.find(' ');
    if (pos == std::string_view::npos) {
        return 0;
    }
    while (pos < line.size() && IsBlank(line[pos])) {
        ++pos;
    }
    int code = 0;
    size_t digits = 0;
    while (pos < line.size() && line[pos] >= '0' && line[pos] <= '9' && digits < 4) {
        code = code * 10 + (line[pos] - '0');
        ++pos;
        ++digits;
    }
    if (digits != 3 || (pos < line.size() && !IsBlank(line[pos]))) {
        return 0;
    }
    return code;
}

} // namespace

void HttpResponseParser::Fail(HttpFailure failure) {
    state_ = HttpState::Failed;
    failure_ = failure;
    step_ = Step::Done;
}

bool HttpResponseParser::TakeLineByte(char c, size_t limit, HttpFailure tooLong) {
    if (c == '\r') {
        afterCr_ = true;
        return true;
    }
    if (c == '\n') {
        return true;
    }
    if (line_.size() >= limit) {
        Fail(tooLong);
        return false;
    }
    line_ += c;
    return false;
}

void HttpResponseParser::Feed(std::string_view bytes) {
    size_t i = 0;
    while (i < bytes.size() && state_ == HttpState::Reading) {
        if (afterCr_) {
            afterCr_ = false;
            if (bytes[i] == '\n') {
                ++i;
                continue;
            }
        }
        switch (step_) {
        case Step::StatusLine:
            // The line end itself must still fall within the first block.
            if (TakeLineByte(bytes[i++], limits_.firstBlock > 0 ? limits_.firstBlock - 1 : 0,
                             HttpFailure::StatusLineTooLong)) {
                StatusLineDone();
            }
            break;
        case Step::Headers:
            if (++headerBytes_ > limits_.headerSection) {
                Fail(HttpFailure::HeaderTooLong);
                break;
            }
            if (TakeLineByte(bytes[i++], limits_.headerLine, HttpFailure::HeaderTooLong)) {
                HeaderLineDone();
            }
            break;
        case Step::Body:
            i += FeedBody(bytes.substr(i));
            break;
        case Step::ChunkSize:
            if (TakeLineByte(bytes[i++], limits_.chunkSizeLine, HttpFailure::BadChunk)) {
                ChunkSizeLineDone();
            }
            break;
        case Step::ChunkData: {
            const size_t n = static_cast<size_t>(
                std::min<uint64_t>(chunkLeft_, static_cast<uint64_t>(bytes.size() - i)));
            body_.append(bytes.data() + i, n);
            i += n;
            chunkLeft_ -= n;
            if (chunkLeft_ == 0) {
                step_ = Step::ChunkDataEnd;
            }
            break;
        }
        case Step::ChunkDataEnd:
            // The CR LF after a chunk's data (a lone CR or LF is taken too).
            if (bytes[i] == '\r') {
                afterCr_ = true;
            } else if (bytes[i] != '\n') {
                Fail(HttpFailure::BadChunk);
                break;
            }
            ++i;
            step_ = Step::ChunkSize;
            break;
        case Step::Done:
            return;
        }
    }
}

void HttpResponseParser::End() {
    if (state_ != HttpState::Reading) {
        return;
    }
    if (step_ == Step::StatusLine) {
        Fail(HttpFailure::NoAnswer);
    } else if (step_ == Step::Headers) {
        Fail(HttpFailure::HeaderIncomplete);
    } else {
        // The body has started: what arrived is kept.
        state_ = HttpState::Complete;
        step_ = Step::Done;
    }
}

void HttpResponseParser::StatusLineDone() {
    statusCode_ = ParseStatusCode(line_);
    line_.clear();
    if (statusCode_ != 200 && statusCode_ != 302) {
        Fail(HttpFailure::NotAccepted);
        return;
    }
    step_ = Step::Headers;
}

void HttpResponseParser::HeaderLineDone() {
    std::string line;
    line.swap(line_);
    if (line.empty()) {
        StartBody();
        return;
    }
    const size_t colon = line.find(':');
    if (colon == std::string::npos) {
        return;
    }
    const std::string_view name = TrimRightBlanks(std::string_view(line).substr(0, colon));
    const std::string value = TrimBlanks(std::string_view(line).substr(colon + 1));
    if (EqualsNoCase(name, "content-length")) {
        if (value.empty() || value.size() > 19) {
            Fail(value.empty() ? HttpFailure::BadLength : HttpFailure::BodyTooLarge);
            return;
        }
        uint64_t length = 0;
        for (const char c : value) {
            if (c < '0' || c > '9') {
                Fail(HttpFailure::BadLength);
                return;
            }
            length = length * 10 + static_cast<uint64_t>(c - '0');
        }
        if (length > limits_.body) {
            Fail(HttpFailure::BodyTooLarge);
            return;
        }
        if (haveLength_ && length != length_) {
            Fail(HttpFailure::BadLength);
            return;
        }
        haveLength_ = true;
        length_ = length;
    } else if (EqualsNoCase(name, "transfer-encoding")) {
        if (FindNoCase(value, "chunked") != std::string::npos) {
            chunked_ = true;
        }
    }
}

void HttpResponseParser::StartBody() {
    if (chunked_) {
        framing_ = BodyFraming::Chunked;
        step_ = Step::ChunkSize;
    } else if (haveLength_) {
        framing_ = BodyFraming::Length;
        step_ = Step::Body;
        if (length_ == 0) {
            state_ = HttpState::Complete;
            step_ = Step::Done;
        }
    } else {
        framing_ = BodyFraming::UntilClose;
        step_ = Step::Body;
    }
}

void HttpResponseParser::ChunkSizeLineDone() {
    std::string line;
    line.swap(line_);
    size_t pos = 0;
    while (pos < line.size() && IsBlank(line[pos])) {
        ++pos;
    }
    uint64_t size = 0;
    size_t digits = 0;
    while (pos < line.size() && HexValue(line[pos]) >= 0) {
        size = size * 16 + static_cast<uint64_t>(HexValue(line[pos]));
        ++pos;
        if (size > limits_.body) {
            Fail(HttpFailure::BodyTooLarge);
            return;
        }
        ++digits;
    }
    if (digits == 0 || (pos < line.size() && line[pos] != ';' && !IsBlank(line[pos]))) {
        Fail(HttpFailure::BadChunk);
        return;
    }
    if (size == 0) {
        state_ = HttpState::Complete; // trailers, if any, are not needed
        step_ = Step::Done;
        return;
    }
    if (size > limits_.body - body_.size()) {
        Fail(HttpFailure::BodyTooLarge);
        return;
    }
    chunkLeft_ = size;
    step_ = Step::ChunkData;
}

size_t HttpResponseParser::FeedBody(std::string_view bytes) {
    if (framing_ == BodyFraming::Length) {
        const size_t n = static_cast<size_t>(
            std::min<uint64_t>(length_ - body_.size(), static_cast<uint64_t>(bytes.size())));
        body_.append(bytes.data(), n);
        if (body_.size() == length_) {
            state_ = HttpState::Complete;
            step_ = Step::Done;
        }
        return n;
    }
    if (bytes.size() > limits_.body - body_.size()) {
        Fail(HttpFailure::BodyTooLarge);
        return bytes.size();
    }
    body_.append(bytes);
    return bytes.size();
}

HttpResponseParser ReadHttpResponse(ByteSource& source, const HttpWaits& waits,
                                    const HttpLimits& limits) {
    HttpResponseParser parser(limits);
    const size_t firstBlock = std::max<size_t>(limits.firstBlock, 1);
    std::string buffer(std::max<size_t>(firstBlock, size_t{16} << 10), '\0');
    bool first = true;
    while (parser.State() == HttpState::Reading) {
        const size_t size = first ? firstBlock : buffer.size();
        const uint32_t wait = !first && parser.Framing() == BodyFraming::UntilClose
                                  ? waits.unknownLengthReadMs
                                  : waits.readMs;
        first = false;
        const int64_t n = source.Receive(buffer.data(), size, wait);
        if (n <= 0) {
            parser.End();
            break;
        }
        parser.Feed(std::string_view(buffer.data(), std::min(static_cast<size_t>(n), size)));
    }
    return parser;
}

} // namespace vuni
