// The simulated Windows' sockets: real POSIX TCP connections, non-blocking, with waits
// done by poll().
#include "platform/sim/sim_host.h"
#include "text/text.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vuni {
namespace {

uint64_t NowMs() {
    using namespace std::chrono;
    return static_cast<uint64_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// Waits until the socket can take data or has failed, up to timeoutMs; true when the
// connection is established.
bool FinishConnect(int fd, uint32_t timeoutMs) {
    const uint64_t deadline = NowMs() + timeoutMs;
    for (;;) {
        const uint64_t now = NowMs();
        const int left = now >= deadline ? 0 : static_cast<int>(deadline - now);
        pollfd p{fd, POLLOUT, 0};
        const int r = poll(&p, 1, left);
        if (r < 0 && errno == EINTR) {
            continue;
        }
        if (r <= 0) {
            return false;
        }
        int error = 0;
        socklen_t length = sizeof error;
        return getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
    }
}

} // namespace

bool SimHost::NetworkStartup() {
    ++networkStartups_;
    return networkAvailable_;
}

int64_t SimHost::TcpConnect(const std::string& host, uint16_t port, uint32_t timeoutMs) {
    const uint64_t end = TickCount() + std::min(timeoutMs, connectTimeoutMs_);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    const std::string service = Decimal(port);
    if (host.empty() ||
        getaddrinfo(Cp1252ToUtf8(host).c_str(), service.c_str(), &hints, &found) != 0) {
        return -1;
    }
    int64_t result = -1;
    for (addrinfo* a = found; a != nullptr && result < 0; a = a->ai_next) {
        const int fd =
            socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, a->ai_protocol);
        if (fd < 0) {
            continue;
        }
        const int r = connect(fd, a->ai_addr, a->ai_addrlen);
        const uint64_t now = TickCount();
        if (r == 0 || (errno == EINPROGRESS && now < end &&
                       FinishConnect(fd, static_cast<uint32_t>(end - now)))) {
            result = fd;
        } else {
            close(fd);
        }
    }
    freeaddrinfo(found);
    return result;
}

int64_t SimHost::TcpSend(int64_t socket, const void* data, size_t size) {
    for (;;) {
        const ssize_t n = send(static_cast<int>(socket), data, size, MSG_NOSIGNAL);
        if (n >= 0) {
            return n;
        }
        if (errno == EINTR) {
            continue;
        }
        return errno == EAGAIN || errno == EWOULDBLOCK ? 0 : -1;
    }
}

int64_t SimHost::TcpReceive(int64_t socket, void* buffer, size_t size, uint32_t timeoutMs) {
    const int fd = static_cast<int>(socket);
    pollfd p{fd, POLLIN, 0};
    int r = 0;
    do {
        r = poll(&p, 1, static_cast<int>(timeoutMs > 0x7FFFFFFF ? 0x7FFFFFFF : timeoutMs));
    } while (r < 0 && errno == EINTR);
    if (r < 0) {
        return -1;
    }
    if (r == 0) {
        return -2;
    }
    for (;;) {
        const ssize_t n = recv(fd, buffer, size, 0);
        if (n >= 0) {
            return n;
        }
        if (errno == EINTR) {
            continue;
        }
        return errno == EAGAIN || errno == EWOULDBLOCK ? -2 : -1;
    }
}

void SimHost::TcpClose(int64_t socket) {
    if (socket >= 0) {
        close(static_cast<int>(socket));
    }
}

} // namespace vuni
