#include "package/pe_certificate.h"

#include "platform/host.h"

namespace vuni {
namespace {

constexpr int64_t kLfanewOffset = 0x3C;
constexpr uint32_t kPeSignature = 0x00004550; // "PE\0\0"
constexpr int64_t kFileHeaderSize = 20;
constexpr uint16_t kPe32Magic = 0x10B;
constexpr uint16_t kPe32PlusMagic = 0x20B;
// Within the optional header: where NumberOfRvaAndSizes stands (the data directory
// follows it at once), for PE32 and PE32+.
constexpr int64_t kPe32RvaCountOffset = 92;
constexpr int64_t kPe32PlusRvaCountOffset = 108;
constexpr uint32_t kSecurityDirectory = 4;
constexpr int64_t kDirectoryEntrySize = 8;

// Reads count (at most 4) little-endian bytes at offset; false unless all lie in the file.
bool ReadLittleEndian(HostFile& file, int64_t fileSize, int64_t offset, int count,
                      uint32_t& value) {
    if (offset < 0 || offset > fileSize - count) {
        return false;
    }
    uint8_t bytes[4] = {};
    if (!file.Seek(offset)) {
        return false;
    }
    int64_t done = 0;
    while (done < count) {
        const int64_t n = file.Read(bytes + done, count - done);
        if (n <= 0) {
            return false;
        }
        done += n;
    }
    value = 0;
    for (int i = count - 1; i >= 0; --i) {
        value = (value << 8) | bytes[i];
    }
    return true;
}

// WIN_CERTIFICATE entries, each aligned on 8 bytes, from offset to the end of the file:
// a length that covers at least the 8-byte header, a known revision and a known type.
bool IsCertificateChain(HostFile& file, int64_t fileSize, int64_t offset) {
    constexpr int64_t kHeaderSize = 8;
    while (offset < fileSize) {
        uint32_t length = 0;
        uint32_t revision = 0;
        uint32_t type = 0;
        if (!ReadLittleEndian(file, fileSize, offset, 4, length) ||
            !ReadLittleEndian(file, fileSize, offset + 4, 2, revision) ||
            !ReadLittleEndian(file, fileSize, offset + 6, 2, type) || length < kHeaderSize ||
            length > fileSize - offset || (revision != 0x100 && revision != 0x200) || type < 1 ||
            type > 4) {
            return false;
        }
        offset += (int64_t{length} + kCertificateAlignment - 1) / kCertificateAlignment *
                  kCertificateAlignment;
    }
    return true;
}

} // namespace

int64_t FindCertificateTable(HostFile& file, int64_t fileSize) {
    uint32_t mz = 0;
    uint32_t lfanew = 0;
    if (!ReadLittleEndian(file, fileSize, 0, 2, mz) || mz != 0x5A4D ||
        !ReadLittleEndian(file, fileSize, kLfanewOffset, 4, lfanew)) {
        return -1;
    }
    const int64_t peHeader = lfanew;
    uint32_t signature = 0;
    if (!ReadLittleEndian(file, fileSize, peHeader, 4, signature) || signature != kPeSignature) {
        return -1;
    }
    const int64_t optionalHeader = peHeader + 4 + kFileHeaderSize;
    uint32_t optionalSize = 0;
    uint32_t magic = 0;
    if (!ReadLittleEndian(file, fileSize, peHeader + 4 + 16, 2, optionalSize) ||
        !ReadLittleEndian(file, fileSize, optionalHeader, 2, magic)) {
        return -1;
    }
    int64_t rvaCountOffset = 0;
    if (magic == kPe32Magic) {
        rvaCountOffset = kPe32RvaCountOffset;
    } else if (magic == kPe32PlusMagic) {
        rvaCountOffset = kPe32PlusRvaCountOffset;
    } else {
        return -1;
    }
    uint32_t rvaCount = 0;
    if (!ReadLittleEndian(file, fileSize, optionalHeader + rvaCountOffset, 4, rvaCount) ||
        rvaCount <= kSecurityDirectory) {
        return -1;
    }
    // The entry must also lie within the optional header the file header declares.
    const int64_t entry =
        optionalHeader + rvaCountOffset + 4 + kSecurityDirectory * kDirectoryEntrySize;
    if (entry + kDirectoryEntrySize > optionalHeader + optionalSize) {
        return -1;
    }
    uint32_t tableOffset = 0;
    uint32_t tableSize = 0;
    if (!ReadLittleEndian(file, fileSize, entry, 4, tableOffset) ||
        !ReadLittleEndian(file, fileSize, entry + 4, 4, tableSize)) {
        return -1;
    }
    // Unlike the other entries, this one holds a file offset, not an address in memory.
    // Signing appends the table, so it ends the file; one that stops short of the end or
    // holds no chain of certificates is no signature but damage (an offset that points
    // into the package would otherwise make it read as a shorter one).
    if (tableOffset == 0 || tableSize == 0 ||
        int64_t{tableOffset} + int64_t{tableSize} != fileSize ||
        !IsCertificateChain(file, fileSize, tableOffset)) {
        return -1;
    }
    return tableOffset;
}

} // namespace vuni
