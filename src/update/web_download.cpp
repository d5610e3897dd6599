#include "update/web_download.h"

#include "update/http_address.h"

#include <algorithm>

namespace vuni {
namespace {

// The Host socket as a byte source: a wait is a series of short polls, up to the deadline.
class SocketSource : public ByteSource {
public:
    SocketSource(Host& host, int64_t socket, uint32_t pollStepMs)
        : host_(host), socket_(socket), pollStepMs_(std::max<uint32_t>(pollStepMs, 1)) {}

    int64_t Receive(char* buffer, size_t size, uint32_t waitMs) override {
        const uint64_t start = host_.TickCount();
        for (;;) {
            const uint64_t elapsed = host_.TickCount() - start;
            const uint32_t left = elapsed >= waitMs ? 0 : static_cast<uint32_t>(waitMs - elapsed);
            const int64_t n = host_.TcpReceive(socket_, buffer, size, std::min(left, pollStepMs_));
            if (n != -2 || left == 0) {
                return n;
            }
        }
    }

private:
    Host& host_;
    int64_t socket_;
    uint32_t pollStepMs_;
};

bool SendAll(Host& host, int64_t socket, const std::string& bytes, const HttpWaits& waits) {
    const uint64_t start = host.TickCount();
    size_t sent = 0;
    while (sent < bytes.size()) {
        const int64_t n = host.TcpSend(socket, bytes.data() + sent, bytes.size() - sent);
        if (n < 0) {
            return false;
        }
        if (n == 0) {
            if (host.TickCount() - start >= waits.sendMs) {
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
    const int64_t socket = host.TcpConnect(parts.host, parts.port);
    if (socket < 0) {
        return DownloadResult::ConnectFailed;
    }
    if (!SendAll(host, socket, BuildRequest(parts), waits)) {
        host.TcpClose(socket);
        return DownloadResult::SendFailed;
    }
    SocketSource source(host, socket, waits.pollStepMs);
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
