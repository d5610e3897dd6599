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
    if (host.empty()) {
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
    std::string request = "GET /" + address.path + " HTTP/1.1\r\nAccept: */*\r\nHost: ";
    request += address.host;
    if (address.port != 80) {
        request += ":" + Decimal(address.port);
    }
    request += "\r\nConnection: close\r\n\r\n";
    return request;
}

} // namespace vuni
