// The answer of a web server to the version check's request, read incrementally from the
// bytes as they arrive, and the reading loop over any source of bytes.
//
// Accepted: a status line whose status code is 200 or 302 (a redirection is not followed;
// its body is kept). Header lines end at CR, CR LF or LF, up to the empty line; their names
// match in any case. "Content-Length" gives the body length, "Transfer-Encoding" holding
// "chunked" selects chunked transfer (hexadecimal sizes, up to the chunk of size 0), and
// without either the body runs until the connection ends.
//
// Everything that comes from the network is bounded (HttpLimits): a status line that does
// not fit in the first block, a header line or section beyond its limit, a length, chunk
// size or body beyond the body limit, or chunk framing that is not hexadecimal fails the
// response. Once the body has started, an end of the data (the server closed, an error, or
// a read that brought nothing in time) ends the body: what arrived is kept and the response
// counts as complete, even when a declared length was not reached.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vuni {

struct HttpLimits {
    size_t firstBlock = 1024;                // the status line must end within it
    size_t headerLine = size_t{8} << 10;     // one header line
    size_t headerSection = size_t{64} << 10; // all header lines together
    size_t chunkSizeLine = 1024;             // a chunk-size line with its extensions
    size_t body = size_t{16} << 20;          // the decoded body
};

enum class HttpState { Reading, Complete, Failed };

enum class HttpFailure {
    None,
    NoAnswer,          // the data ended before the status line was complete
    StatusLineTooLong, // no line end within the first block
    NotAccepted,       // a status other than 200 or 302
    HeaderTooLong,     // a header line or the header section beyond its limit
    HeaderIncomplete,  // the data ended before the empty line
    BadLength,         // a Content-Length that is not a number, or two that differ
    BadChunk,          // chunk framing that cannot be read
    BodyTooLarge,      // a length, chunk or body beyond the body limit
};

enum class BodyFraming { None, Length, Chunked, UntilClose };

class HttpResponseParser {
public:
    explicit HttpResponseParser(const HttpLimits& limits = {}) : limits_(limits) {}

    // Takes the next bytes of the answer; bytes after a complete response are ignored.
    void Feed(std::string_view bytes);
    // The data ended (closed, error, or nothing in time).
    void End();

    HttpState State() const { return state_; }
    HttpFailure Failure() const { return failure_; }
    int StatusCode() const { return statusCode_; }
    bool BodyStarted() const { return framing_ != BodyFraming::None; }
    BodyFraming Framing() const { return framing_; }
    const std::string& Body() const { return body_; }

private:
    enum class Step { StatusLine, Headers, Body, ChunkSize, ChunkData, ChunkDataEnd, Done };

    void Fail(HttpFailure failure);
    // Appends c to the current line; true when c ended it.
    bool TakeLineByte(char c, size_t limit, HttpFailure tooLong);
    void StatusLineDone();
    void HeaderLineDone();
    void StartBody();
    void ChunkSizeLineDone();
    size_t FeedBody(std::string_view bytes);

    HttpLimits limits_;
    HttpState state_ = HttpState::Reading;
    HttpFailure failure_ = HttpFailure::None;
    Step step_ = Step::StatusLine;
    BodyFraming framing_ = BodyFraming::None;
    std::string line_;
    bool afterCr_ = false; // the last line ended at CR: an LF right after it belongs to it
    size_t headerBytes_ = 0;
    int statusCode_ = 0;
    bool chunked_ = false;
    bool haveLength_ = false;
    uint64_t length_ = 0;
    uint64_t chunkLeft_ = 0;
    std::string body_;
};

// A source of bytes: up to size bytes within waitMs. Returns the count read, 0 when the
// peer closed, -1 on error, -2 when nothing arrived in time.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual int64_t Receive(char* buffer, size_t size, uint32_t waitMs) = 0;
};

struct HttpWaits {
    uint32_t connectMs = 10000;          // the connection must be accepted within this time
    uint32_t sendMs = 10000;             // sending is retried this long
    uint32_t readMs = 10000;             // each read waits this long for data
    uint32_t unknownLengthReadMs = 1000; // reads of a body that runs until the end
    uint32_t pollStepMs = 100;           // how often a wait looks for data
    // The whole exchange (connection, request and answer) ends within this time: the check
    // runs on the window's one thread, and a server that trickles bytes must not hold the
    // window. Reaching it ends the data like a silent read.
    uint32_t totalMs = 20000;
};

// Reads the answer from source: the first block of at most limits.firstBlock bytes, then
// larger reads, each waiting as HttpWaits says, until the response is complete or failed.
HttpResponseParser ReadHttpResponse(ByteSource& source, const HttpWaits& waits,
                                    const HttpLimits& limits = {});

} // namespace vuni
