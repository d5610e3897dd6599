#include "package/package_writer.h"

#include "package/crc32.h"
#include "package/info_fields.h"
#include "package/marker.h"
#include "package/package_seal.h"
#include "package/scramble.h"

#include <cstdint>

namespace vuni {

bool PackageWriter::Put(const void* data, size_t size) {
    if (size == 0) {
        return true;
    }
    if (!sink_(data, size)) {
        return false;
    }
    written_ += static_cast<int64_t>(size);
    return true;
}

bool PackageWriter::PutInt32(int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    const uint8_t b[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                          static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)};
    return Put(b, 4);
}

bool PackageWriter::PutScrambledString(const std::string& text) {
    std::string bytes = text;
    Scramble(bytes.data(), static_cast<int64_t>(bytes.size()));
    return PutInt32(static_cast<int32_t>(bytes.size())) && Put(bytes.data(), bytes.size());
}

bool PackageWriter::WriteHeader(const PackageInfo& info, const std::vector<ScriptGroup>& groups) {
    const std::string marker = "\n" + PackageMarker() + "\n";
    bool ok = Put(marker.data(), marker.size()) &&
              VisitInfoMembers(
                  info, [this](int32_t number) { return PutInt32(number); },
                  [this](const std::string& text) { return PutScrambledString(text); });
    for (const ScriptGroup& g : groups) {
        // An empty name ends the group list: it cannot name a group.
        ok = ok && !g.name.empty() && PutScrambledString(g.name) && PutScrambledString(g.alias);
    }
    return ok && PutInt32(0);
}

// stored is taken by value: a stored (not packed) entry is scrambled in place.
// cppcheck-suppress passedByValue
bool PackageWriter::WriteEntry(const PackageEntry& entry, std::string stored) {
    if (entry.plainSize < 0 || stored.size() > static_cast<size_t>(INT32_MAX)) {
        return false;
    }
    const auto storedSize = static_cast<int32_t>(stored.size());
    if (storedSize == entry.plainSize) {
        Scramble(stored.data(), storedSize);
    }
    return PutScrambledString(entry.sourceName) && PutScrambledString(entry.destination) &&
           PutInt32(entry.groupIndex) && PutInt32(entry.compileOrder) &&
           PutInt32(entry.plainSize) && PutInt32(storedSize) && PutInt32(entry.flags) &&
           Put(stored.data(), stored.size());
}

std::string SealedHeader(const PackageInfo& info, const std::vector<ScriptGroup>& groups,
                         int32_t records, std::string_view body) {
    PackageInfo sealed = info;
    sealed.flags |= InfoSealed;
    PackageSeal seal{0, records, 0, info.reservedA};
    std::string header;
    const auto headerOf = [&]() {
        sealed.reservedA = SealText(seal);
        header.clear();
        PackageWriter writer([&header](const void* data, size_t size) {
            header.append(static_cast<const char*>(data), size);
            return true;
        });
        return writer.WriteHeader(sealed, groups);
    };
    // The seal holds the package's length, which its own digits lengthen: a few rounds
    // settle it.
    for (int round = 0; round < 4; ++round) {
        if (!headerOf()) {
            return {};
        }
        const auto bytes = static_cast<int64_t>(header.size() + body.size());
        if (bytes == seal.bytes) {
            break;
        }
        seal.bytes = bytes;
    }
    // With the CRC still 0, the digits hold what the reader takes them as while it sums.
    Crc32 crc;
    crc.Update(header.data(), header.size());
    crc.Update(body.data(), body.size());
    seal.crc = crc.Value();
    headerOf();
    return header;
}

} // namespace vuni
