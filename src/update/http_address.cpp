#include "update/http_address.h"

#include "text/text.h"

namespace vuni {

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
        const std::string_view digits = authority.substr(colon + 1);
        if (digits.empty() || digits.size() > 5) {
            return false;
        }
        uint32_t value = 0;
        for (const char c : digits) {
            if (c < '0' || c > '9') {
                return false;
            }
            value = value * 10 + static_cast<uint32_t>(c - '0');
        }
        if (value == 0 || value > 65535) {
            return false;
        }
        port = static_cast<uint16_t>(value);
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
