// Finding the Authenticode certificate table of a signed installer.
//
// Signing the installer (the program image followed by its package) appends a certificate
// table after the package, preceded by up to 7 zero bytes that align it on 8 bytes, and
// points entry 4 of the PE data directory (the security directory: a file offset and a
// size) at it. The package reader takes the package as ending where that table begins.
#pragma once

#include <cstdint>

namespace vuni {

class HostFile;

// Zero bytes that may stand between the end of the package and the certificate table.
constexpr int64_t kCertificateAlignment = 8;

// The file offset of the certificate table named by the security directory entry of the
// PE file, or -1 when the file is no PE (checked: "MZ", e_lfanew within the file,
// "PE\0\0", a PE32 or PE32+ optional header with more than 4 data directory entries), has
// no such entry, or the table does not run to the end of the file as a chain of
// certificate entries (each with its length, revision and type). fileSize is file.Size(); the
// file position is left anywhere.
int64_t FindCertificateTable(HostFile& file, int64_t fileSize);

} // namespace vuni
