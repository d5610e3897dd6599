// Address splitting and the request built from it, on arbitrary addresses (the update
// location comes from the package, the file name from its texts).
//
// A split address has a host without blanks, control characters or the separators around
// it, and splits again into the same parts once written back. The request is exactly the
// request line and the three header lines, whatever the address holds: its target has no
// byte that would end or split the line, and decodes to what the path decodes to.
#include "update/http_address.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Check(bool ok) {
    if (!ok) {
        std::abort();
    }
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if ((c | 0x20) >= 'a' && (c | 0x20) <= 'f') {
        return (c | 0x20) - 'a' + 10;
    }
    return -1;
}

bool StartsEscape(std::string_view s, size_t i) {
    return s[i] == '%' && i + 2 < s.size() && HexValue(s[i + 1]) >= 0 && HexValue(s[i + 2]) >= 0;
}

// Percent escapes decoded; a "%" that starts none stays as it is.
std::string Decode(std::string_view s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (StartsEscape(s, i)) {
            out += static_cast<char>(HexValue(s[i + 1]) * 16 + HexValue(s[i + 2]));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

bool IsTargetByte(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u > 0x20 && u < 0x7F &&
           std::string_view("\"#%<>\\^`{|}").find(c) == std::string_view::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view address(reinterpret_cast<const char*>(data), size);
    vuni::HttpAddress parts;
    if (!vuni::SplitAddress(address, parts)) {
        return 0;
    }
    Check(!parts.host.empty() && parts.port != 0);
    for (const char c : parts.host) {
        const auto u = static_cast<unsigned char>(c);
        Check(u > 0x20 && u != 0x7F && std::string_view("\"/:@").find(c) == std::string_view::npos);
    }

    const std::string port = parts.port == 80 ? "" : ":" + std::to_string(parts.port);
    vuni::HttpAddress again;
    Check(vuni::SplitAddress("x://" + parts.host + port + "/" + parts.path, again));
    Check(again.host == parts.host && again.port == parts.port && again.path == parts.path);

    const std::string request = vuni::BuildRequest(parts);
    const std::string_view head = "GET /";
    const std::string tail =
        " HTTP/1.1\r\nAccept: */*\r\nHost: " + parts.host + port + "\r\nConnection: close\r\n\r\n";
    Check(request.size() >= head.size() + tail.size() && request.starts_with(head) &&
          request.ends_with(tail));
    const std::string_view target =
        std::string_view(request).substr(head.size(), request.size() - head.size() - tail.size());
    bool plain = true; // the path can be sent as it stands
    for (size_t i = 0; i < parts.path.size(); ++i) {
        plain = plain && (IsTargetByte(parts.path[i]) || StartsEscape(parts.path, i));
    }
    for (size_t i = 0; i < target.size(); ++i) {
        Check(IsTargetByte(target[i]) || StartsEscape(target, i));
    }
    Check(Decode(target) == Decode(parts.path));
    Check(!plain || target == parts.path);
    return 0;
}
