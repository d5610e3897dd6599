// Web addresses of the version check and the one request sent for them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vuni {

struct HttpAddress {
    std::string host;
    uint16_t port = 80;
    std::string path; // after the "/" that follows the host, query included
};

// Splits "scheme://[user@]host[:port][/path]". The scheme is not examined. false when the
// address has no "://", an empty host or one with a blank, control character or quote, or a
// port that is not a number from 1 to 65535.
bool SplitAddress(std::string_view address, HttpAddress& out);

// The longest address handed to the shell's open.
constexpr size_t kMaxWebAddressLength = 2048;

// true for a well-formed http:// or https:// address (scheme in any case): a host name, an
// IPv4 address or a bracketed IPv6 address, an optional port from 1 to 65535, at most
// kMaxWebAddressLength characters, and no blank, quote, control character or other
// character that an address cannot hold unencoded (bytes beyond ASCII are allowed).
bool IsWebAddress(std::string_view text);

// The request bytes, exactly: "GET /" path " HTTP/1.1", Accept, Host (with ":port" only
// when the port is not 80), "Connection: close", and the empty line. Path bytes that may not
// stand in a request line (blanks, control characters, bytes above 127, quotes and the like,
// a "%" that starts no escape) are sent percent-encoded; any other path goes as it is.
std::string BuildRequest(const HttpAddress& address);

} // namespace vuni
