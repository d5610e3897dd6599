// The real Windows' sockets: Winsock 2.2, non-blocking, with waits done by select().
// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
// clang-format on

#include "platform/win32/owned_handles.h"
#include "platform/win32/win32_host.h"
#include "text/text.h"

#include <climits>

namespace vuni {
namespace {


SOCKET ToSocket(int64_t socket) {
    return static_cast<SOCKET>(socket);
}

timeval ToTimeval(uint32_t ms) {
    timeval tv;
    tv.tv_sec = static_cast<long>(ms / 1000);
    tv.tv_usec = static_cast<long>((ms % 1000) * 1000);
    return tv;
}

// Waits for a non-blocking connect to finish; true when the connection is established.
bool FinishConnect(SOCKET s, uint32_t timeoutMs) {
    fd_set writable;
    fd_set failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(s, &writable);
    FD_SET(s, &failed);
    timeval tv = ToTimeval(timeoutMs);
    if (select(0, nullptr, &writable, &failed, &tv) <= 0 || FD_ISSET(s, &failed) ||
        !FD_ISSET(s, &writable)) {
        return false;
    }
    int error = 0;
    int length = sizeof error;
    return getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) == 0 &&
           error == 0;
}

} // namespace

bool Win32Host::NetworkStartup() {
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        return false;
    }
    if (LOBYTE(data.wVersion) != 2 || HIBYTE(data.wVersion) != 2) {
        WSACleanup();
        return false;
    }
    return true;
}

int64_t Win32Host::TcpConnect(const std::string& host, uint16_t port, uint32_t timeoutMs) {
    const uint64_t end = TickCount() + timeoutMs;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    const std::string service = Decimal(port);
    if (host.empty() || getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0) {
        return -1;
    }
    int64_t result = -1;
    for (addrinfo* a = found; a != nullptr && result < 0; a = a->ai_next) {
        OwnedSocket s(socket(a->ai_family, a->ai_socktype, a->ai_protocol));
        if (!s) {
            continue;
        }
        u_long nonBlocking = 1;
        bool connected = false;
        if (ioctlsocket(s.Get(), FIONBIO, &nonBlocking) == 0) {
            if (connect(s.Get(), a->ai_addr, static_cast<int>(a->ai_addrlen)) == 0) {
                connected = true;
            } else if (WSAGetLastError() == WSAEWOULDBLOCK) {
                const uint64_t now = TickCount();
                connected = now < end && FinishConnect(s.Get(), static_cast<uint32_t>(end - now));
            }
        }
        if (connected) {
            result = static_cast<int64_t>(s.Release());
        }
    }
    freeaddrinfo(found);
    return result;
}

int64_t Win32Host::TcpSend(int64_t socket, const void* data, size_t size) {
    const int chunk = size > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(size);
    const int n = send(ToSocket(socket), static_cast<const char*>(data), chunk, 0);
    if (n == SOCKET_ERROR) {
        return WSAGetLastError() == WSAEWOULDBLOCK ? 0 : -1;
    }
    return n;
}

int64_t Win32Host::TcpReceive(int64_t socket, void* buffer, size_t size, uint32_t timeoutMs) {
    const SOCKET s = ToSocket(socket);
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(s, &readable);
    timeval tv = ToTimeval(timeoutMs);
    const int r = select(0, &readable, nullptr, nullptr, &tv);
    if (r == SOCKET_ERROR) {
        return -1;
    }
    if (r == 0) {
        return -2;
    }
    const int chunk = size > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(size);
    const int n = recv(s, static_cast<char*>(buffer), chunk, 0);
    if (n == SOCKET_ERROR) {
        return WSAGetLastError() == WSAEWOULDBLOCK ? -2 : -1;
    }
    return n;
}

void Win32Host::TcpClose(int64_t socket) {
    if (socket >= 0) {
        OwnedSocket(ToSocket(socket)).Close();
    }
}

} // namespace vuni
