#include "update/web_download.h"

#include "update/http_address.h"

#include <algorithm>
#include <cstdint>

namespace vuni {
namespace {

// Milliseconds left before end (0 once it has passed).
uint32_t Left(Host& host, uint64_t end) {
    const uint64_t now = host.TickCount();
    return now >= end ? 0 : static_cast<uint32_t>(std::min<uint64_t>(end - now, UINT32_MAX));
}

// The Host socket as a byte source: a wait is a series of short polls, up to the end of
// the wait or of the whole exchange, whichever comes first.
class SocketSource : public ByteSource {
public:
    SocketSource(Host& host, int64_t socket, const HttpWaits& waits, uint64_t endOfExchange)
        : host_(host), socket_(socket), pollStepMs_(std::max<uint32_t>(waits.pollStepMs, 1)),
          endOfAnswer_(endOfExchange) {}

    int64_t Receive(char* buffer, size_t size, uint32_t waitMs) override {
        const uint64_t end = std::min(host_.TickCount() + waitMs, endOfAnswer_);
        for (;;) {
            const uint64_t now = host_.TickCount();
            if (now >= end) {
                return -2;
            }
            const uint32_t step = static_cast<uint32_t>(std::min<uint64_t>(end - now, pollStepMs_));
            const int64_t n = host_.TcpReceive(socket_, buffer, size, step);
            if (n != -2) {
                return n;
            }
        }
    }

private:
    Host& host_;
    int64_t socket_;
    uint32_t pollStepMs_;
    uint64_t endOfAnswer_;
};

bool SendAll(Host& host, int64_t socket, const std::string& bytes, const HttpWaits& waits,
             uint64_t endOfExchange) {
    const uint64_t end = std::min(host.TickCount() + waits.sendMs, endOfExchange);
    size_t sent = 0;
    while (sent < bytes.size()) {
        const int64_t n = host.TcpSend(socket, bytes.data() + sent, bytes.size() - sent);
        if (n < 0) {
            return false;
        }
        if (n == 0) {
            if (host.TickCount() >= end) {
                return false;
            }
            host.Sleep(std::max<uint32_t>(waits.pollStepMs, 1));
            continue;
        }
        sent += static_cast<size_t>(n);
    }
    return true;
}

} // namespace

DownloadResult DownloadToFile(Host& host, std::string_view address, const std::string& localPath,
                              const HttpWaits& waits, const HttpLimits& limits) {
    HttpAddress parts;
    if (!SplitAddress(address, parts)) {
        return DownloadResult::BadAddress;
    }
    const uint64_t end = host.TickCount() + waits.totalMs;
    const int64_t socket =
        host.TcpConnect(parts.host, parts.port, std::min(waits.connectMs, Left(host, end)));
    if (socket < 0) {
        return DownloadResult::ConnectFailed;
    }
    if (!SendAll(host, socket, BuildRequest(parts), waits, end)) {
        host.TcpClose(socket);
        return DownloadResult::SendFailed;
    }
    SocketSource source(host, socket, waits, end);
    const HttpResponseParser response = ReadHttpResponse(source, waits, limits);
    host.TcpClose(socket);
    if (response.State() != HttpState::Complete) {
        return DownloadResult::BadResponse;
    }
    const std::string& body = response.Body();
    if (!host.WriteFile(localPath, body.data(), body.size())) {
        return DownloadResult::WriteFailed;
    }
    return DownloadResult::Ok;
}

} // namespace vuni
