#include "update/http_address.h"

#include "text/text.h"

#include <cstring>

namespace vuni {
namespace {

// A port number from 1 to 65535, written in decimal; 0 for anything else.
uint16_t ParsePort(std::string_view digits) {
    if (digits.empty() || digits.size() > 5) {
        return 0;
    }
    uint32_t value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') {
            return 0;
        }
        value = value * 10 + static_cast<uint32_t>(c - '0');
    }
    return value > 65535 ? 0 : static_cast<uint16_t>(value);
}

// The characters an address may hold unencoded, outside letters and digits.
bool IsAddressPunctuation(char c) {
    return c != '\0' && std::strchr("-._~:/?#[]@!$&'()*+,;=%", c) != nullptr;
}

bool IsAlphaNumeric(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// A host name or an IPv4 address (letters, digits, "-" and "."), or an IPv6 address in
// brackets.
bool IsHost(std::string_view host) {
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
        return !host.empty() &&
               host.find_first_not_of("0123456789abcdefABCDEF:.") == std::string_view::npos;
    }
    if (host.empty() || host.front() == '.' || host.front() == '-') {
        return false;
    }
    for (const char c : host) {
        if (!IsAlphaNumeric(c) && c != '-' && c != '.') {
            return false;
        }
    }
    return true;
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'f');
}

// A byte that a request target may hold as it stands: printable ASCII, less the blank and
// the characters that a web address never carries unescaped.
bool SendsAsIs(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u > 0x20 && u < 0x7F &&
           std::string_view("\"#%<>\\^`{|}").find(c) == std::string_view::npos;
}

// The path as the request target: a byte that would end or split the request line, or that
// servers refuse there (a blank in an application name, a Windows-1252 letter), goes as a
// percent escape. A "%" that already starts an escape is kept, so that an address written
// with escapes, and every address that needs none, is sent exactly as it stands.
std::string RequestTarget(std::string_view path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string target;
    for (size_t i = 0; i < path.size(); ++i) {
        const char c = path[i];
        const bool escape =
            c == '%' && i + 2 < path.size() && IsHexDigit(path[i + 1]) && IsHexDigit(path[i + 2]);
        if (SendsAsIs(c) || escape) {
            target += c;
        } else {
            const auto u = static_cast<unsigned char>(c);
            target += '%';
            target += kHex[u >> 4];
            target += kHex[u & 0xF];
        }
    }
    return target;
}

// A host name holds no blank, control character or quote: none resolves, and each would
// break the request's Host line.
bool IsHostName(std::string_view host) {
    for (const char c : host) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u == 0x7F || c == '"') {
            return false;
        }
    }
    return !host.empty();
}

} // namespace

bool IsWebAddress(std::string_view text) {
    if (text.size() > kMaxWebAddressLength) {
        return false;
    }
    size_t start = 0;
    if (StartsWithNoCase(text, "http://")) {
        start = 7;
    } else if (StartsWithNoCase(text, "https://")) {
        start = 8;
    } else {
        return false;
    }
    for (const char c : text) {
        // Beyond ASCII (Windows-1252 letters of a path) the shell and browsers encode.
        if (static_cast<unsigned char>(c) < 0x80 && !IsAlphaNumeric(c) &&
            !IsAddressPunctuation(c)) {
            return false; // blanks, quotes, control characters and the like
        }
    }
    std::string_view authority = text.substr(start);
    authority = authority.substr(0, authority.find_first_of("/?#"));
    const size_t at = authority.rfind('@');
    if (at != std::string_view::npos) {
        authority.remove_prefix(at + 1);
    }
    const size_t close = authority.rfind(']');
    const size_t colon = authority.find(':', close == std::string_view::npos ? 0 : close);
    if (colon != std::string_view::npos && ParsePort(authority.substr(colon + 1)) == 0) {
        return false;
    }
    return IsHost(authority.substr(0, colon));
}

bool SplitAddress(std::string_view address, HttpAddress& out) {
    const size_t scheme = address.find("://");
    if (scheme == std::string_view::npos) {
        return false;
    }
    std::string_view rest = address.substr(scheme + 3);
    const size_t slash = rest.find('/');
    std::string_view authority = rest.substr(0, slash);
    const std::string_view path =
        slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    const size_t at = authority.rfind('@');
    if (at != std::string_view::npos) {
        authority.remove_prefix(at + 1);
    }
    const size_t colon = authority.find(':');
    const std::string_view host = authority.substr(0, colon);
    if (!IsHostName(host)) {
        return false;
    }
    uint16_t port = 80;
    if (colon != std::string_view::npos) {
        port = ParsePort(authority.substr(colon + 1));
        if (port == 0) {
            return false;
        }
    }
    out.host = std::string(host);
    out.port = port;
    out.path = std::string(path);
    return true;
}

std::string BuildRequest(const HttpAddress& address) {
    std::string request =
        "GET /" + RequestTarget(address.path) + " HTTP/1.1\r\nAccept: */*\r\nHost: ";
    request += address.host;
    if (address.port != 80) {
        request += ":" + Decimal(address.port);
    }
    request += "\r\nConnection: close\r\n\r\n";
    return request;
}

} // namespace vuni
