#include "update/http_address.h"
#include "update/http_response.h"

#include <deque>
#include <gtest/gtest.h>

namespace vuni {
namespace {

TEST(HttpAddress, SplitsHostPortAndPath) {
    HttpAddress a;
    ASSERT_TRUE(SplitAddress("http://www.example.org/upd/monappli-1.2.upqUPQ", a));
    EXPECT_EQ(a.host, "www.example.org");
    EXPECT_EQ(a.port, 80);
    EXPECT_EQ(a.path, "upd/monappli-1.2.upqUPQ");
    EXPECT_EQ(BuildRequest(a), "GET /upd/monappli-1.2.upqUPQ HTTP/1.1\r\nAccept: */*\r\n"
                               "Host: www.example.org\r\nConnection: close\r\n\r\n");

    ASSERT_TRUE(SplitAddress("anything://user:pw@host:8080/a/b?x=1&y=/2", a));
    EXPECT_EQ(a.host, "host");
    EXPECT_EQ(a.port, 8080);
    EXPECT_EQ(a.path, "a/b?x=1&y=/2");
    EXPECT_EQ(BuildRequest(a), "GET /a/b?x=1&y=/2 HTTP/1.1\r\nAccept: */*\r\n"
                               "Host: host:8080\r\nConnection: close\r\n\r\n");

    ASSERT_TRUE(SplitAddress("http://host:80", a));
    EXPECT_EQ(a.path, "");
    EXPECT_EQ(BuildRequest(a).substr(0, 30), "GET / HTTP/1.1\r\nAccept: */*\r\nH");
    EXPECT_EQ(BuildRequest(a).find(":80"), std::string::npos) << "port 80 is not written";

    // A name with a blank, a Windows-1252 letter or a line break stays one request line; an
    // escape already written is kept.
    ASSERT_TRUE(SplitAddress("http://h/maj%20x/microsoft word-1.0\xE9%%4\r\nX: 1.upqUPQ", a));
    EXPECT_EQ(BuildRequest(a), "GET /maj%20x/microsoft%20word-1.0%E9%25%254%0D%0AX:%201.upqUPQ "
                               "HTTP/1.1\r\nAccept: */*\r\nHost: h\r\nConnection: close\r\n\r\n");

    for (const char* bad :
         {"www.example.org/x", "http:/host/x", "http://", "http:///x", "http://user@:81/x",
          "http://host:/x", "http://host:0/", "http://host:65536/", "http://host:8o/",
          "http://host:123456/", "http://ho st/x", "http://host\r\nX: 1/", "http://\"host\"/"}) {
        EXPECT_FALSE(SplitAddress(bad, a)) << bad;
    }
}

HttpResponseParser Parse(std::string_view bytes, const HttpLimits& limits = {}) {
    HttpResponseParser p(limits);
    p.Feed(bytes);
    p.End();
    return p;
}

TEST(HttpResponse, BodyFramings) {
    auto p = Parse("HTTP/1.1 200 OK\r\nCONTENT-length:  5 \r\n\r\nhelloIGNORED");
    EXPECT_EQ(p.State(), HttpState::Complete);
    EXPECT_EQ(p.Framing(), BodyFraming::Length);
    EXPECT_EQ(p.Body(), "hello");

    p = Parse("HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip, Chunked\r\nContent-Length: 3\r\n\r\n"
              "4;ext=1\r\nWiki\r\n5 \r\npedia\r\nE\r\n in\r\n\r\nchunks.\r\n0\r\n\r\nafter");
    EXPECT_EQ(p.State(), HttpState::Complete);
    EXPECT_EQ(p.Framing(), BodyFraming::Chunked) << "chunked wins over a length";
    EXPECT_EQ(p.Body(), "Wikipedia in\r\n\r\nchunks.");

    p = Parse("HTTP/1.0 302 Found\rLocation: x\r\rbody\r\nruns to the end");
    EXPECT_EQ(p.State(), HttpState::Complete) << "lines may end at a lone CR";
    EXPECT_EQ(p.StatusCode(), 302);
    EXPECT_EQ(p.Framing(), BodyFraming::UntilClose);
    EXPECT_EQ(p.Body(), "body\r\nruns to the end");

    p = Parse("HTTP/1.1 200 OK\nContent-Length: 0\n\n");
    EXPECT_EQ(p.State(), HttpState::Complete);
    EXPECT_EQ(p.Body(), "");
}

TEST(HttpResponse, BytesMayArriveOneAtATime) {
    const std::string answer = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                               "3\r\nabc\r\n2\r\n\r\n\r\n0\r\n\r\n";
    HttpResponseParser p;
    for (const char c : answer) {
        p.Feed(std::string_view(&c, 1));
    }
    EXPECT_EQ(p.State(), HttpState::Complete);
    EXPECT_EQ(p.Body(), "abc\r\n") << "a CR LF split across reads is one line end";
}

TEST(HttpResponse, AnEndAfterTheBodyStartedKeepsWhatArrived) {
    auto p = Parse("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nhalf");
    EXPECT_EQ(p.State(), HttpState::Complete);
    EXPECT_EQ(p.Body(), "half");
    p = Parse("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nab");
    EXPECT_EQ(p.State(), HttpState::Complete);
    EXPECT_EQ(p.Body(), "ab");
}

TEST(HttpResponse, RefusedAnswers) {
    struct Case {
        std::string bytes;
        HttpFailure failure;
    };
    const Case cases[] = {
        {"", HttpFailure::NoAnswer},
        {"HTTP/1.1 200 OK", HttpFailure::NoAnswer},
        {"HTTP/1.1 404 Not Found\r\n\r\n", HttpFailure::NotAccepted},
        {"HTTP/1.1 404 Error 200\r\n\r\n", HttpFailure::NotAccepted},
        {"HTTP/1.1 2000 OK\r\n\r\n", HttpFailure::NotAccepted},
        {"garbage\r\n\r\n", HttpFailure::NotAccepted},
        {"HTTP/1.1 200 OK\r\nContent-Length: 5", HttpFailure::HeaderIncomplete},
        {"HTTP/1.1 200 OK\r\nContent-Length: 5x\r\n\r\n", HttpFailure::BadLength},
        {"HTTP/1.1 200 OK\r\nContent-Length: -1\r\n\r\n", HttpFailure::BadLength},
        {"HTTP/1.1 200 OK\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\n",
         HttpFailure::BadLength},
        {"HTTP/1.1 200 OK\r\nContent-Length: 99999999999999999999\r\n\r\n",
         HttpFailure::BodyTooLarge},
        {"HTTP/1.1 200 OK\r\nContent-Length: 17\r\n\r\n", HttpFailure::BodyTooLarge},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n", HttpFailure::BadChunk},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n\r\n", HttpFailure::BadChunk},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nabX", HttpFailure::BadChunk},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nFFFFFFFFFFFFFFFFFFFF\r\n",
         HttpFailure::BodyTooLarge},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n9\r\n123456789\r\n9\r\n",
         HttpFailure::BodyTooLarge},
        {"HTTP/1.1 200 OK\r\n\r\n" + std::string(17, 'x'), HttpFailure::BodyTooLarge},
        {"HTTP/1.1 200 OK\r\nX: " + std::string(50, 'x') + "\r\n\r\n", HttpFailure::HeaderTooLong},
        {"HTTP/1.1 200 OK\r\n" + std::string(30, 'a') + "\r\n" + std::string(30, 'b') + "\r\n\r\n",
         HttpFailure::HeaderTooLong},
        {"HTTP/1.1 200 " + std::string(64, 'x') + "\r\n\r\n", HttpFailure::StatusLineTooLong},
    };
    HttpLimits small;
    small.firstBlock = 64;
    small.headerLine = 40;
    small.headerSection = 48;
    small.body = 16;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        const auto p = Parse(c.bytes, small);
        EXPECT_EQ(p.State(), HttpState::Failed);
        EXPECT_EQ(p.Failure(), c.failure);
    }
    // Just inside the limits.
    const auto p =
        Parse("HTTP/1.1 200 OK\r\nContent-Length: 16\r\n\r\n" + std::string(16, 'y'), small);
    EXPECT_EQ(p.State(), HttpState::Complete);
}

// Bytes handed out in the given pieces; records the size and wait of every read.
class ScriptedSource : public ByteSource {
public:
    explicit ScriptedSource(std::deque<std::string> pieces) : pieces_(std::move(pieces)) {}
    int64_t Receive(char* buffer, size_t size, uint32_t waitMs) override {
        reads.push_back({size, waitMs});
        if (pieces_.empty()) {
            return -2;
        }
        std::string piece = pieces_.front();
        pieces_.pop_front();
        if (piece.size() > size) {
            pieces_.push_front(piece.substr(size));
            piece.resize(size);
        }
        piece.copy(buffer, piece.size());
        return static_cast<int64_t>(piece.size());
    }
    std::vector<std::pair<size_t, uint32_t>> reads;

private:
    std::deque<std::string> pieces_;
};

TEST(HttpResponse, ReadsTheFirstBlockThenWaitsByFraming) {
    HttpWaits waits;
    waits.readMs = 900;
    waits.unknownLengthReadMs = 90;

    // The status line arrives within the first 1024 bytes of a long answer.
    ScriptedSource close({"HTTP/1.1 200 OK\r\n\r\n" + std::string(2000, 'a'), "tail"});
    const auto p = ReadHttpResponse(close, waits);
    EXPECT_EQ(p.State(), HttpState::Complete);
    EXPECT_EQ(p.Body(), std::string(2000, 'a') + "tail");
    ASSERT_GE(close.reads.size(), 3u);
    EXPECT_EQ(close.reads[0], (std::pair<size_t, uint32_t>{1024, 900}));
    EXPECT_EQ(close.reads[1].second, 90u) << "unknown length: short waits after the first";

    ScriptedSource length({"HTTP/1.1 200 OK\r\nContent-Length: 9\r\n\r\nabc", "def", "ghi"});
    EXPECT_EQ(ReadHttpResponse(length, waits).Body(), "abcdefghi");
    ASSERT_EQ(length.reads.size(), 3u) << "no read after the length is reached";
    EXPECT_EQ(length.reads[2].second, 900u);

    ScriptedSource silent({});
    EXPECT_EQ(ReadHttpResponse(silent, waits).Failure(), HttpFailure::NoAnswer);
}

} // namespace
} // namespace vuni
