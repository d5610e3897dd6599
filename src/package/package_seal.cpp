#include "package/package_seal.h"

#include "package/crc32.h"
#include "package/package_types.h"
#include "package/scramble.h"
#include "platform/host.h"
#include "text/text.h"

#include <algorithm>
#include <cstring>

namespace vuni {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// A decimal number of at most 10 digits, no sign, no leading zero; -1 for anything else.
int64_t ParseDecimal(std::string_view digits) {
    if (digits.empty() || digits.size() > 10 || (digits.size() > 1 && digits[0] == '0')) {
        return -1;
    }
    int64_t value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') {
            return -1;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace

std::string SealText(const PackageSeal& seal) {
    std::string text(kSealTag);
    for (int shift = 28; shift >= 0; shift -= 4) {
        text += kHexDigits[(seal.crc >> shift) & 0xF];
    }
    text += ' ';
    text += Decimal(seal.records);
    text += ' ';
    text += Decimal(seal.bytes);
    text += ';';
    text += seal.authorText;
    return text;
}

bool StartsLikeSeal(std::string_view text) {
    return text.substr(0, kSealTag.size()) == kSealTag;
}

bool ParseSeal(std::string_view text, PackageSeal& out) {
    if (!StartsLikeSeal(text) || text.size() < kSealTag.size() + kSealDigits + 1) {
        return false;
    }
    uint32_t crc = 0;
    for (size_t i = 0; i < kSealDigits; ++i) {
        const char c = text[kSealTag.size() + i];
        const char* digit = c != '\0' ? std::strchr(kHexDigits, c) : nullptr;
        if (digit == nullptr) {
            return false;
        }
        crc = (crc << 4) | static_cast<uint32_t>(digit - kHexDigits);
    }
    std::string_view rest = text.substr(kSealTag.size() + kSealDigits);
    const size_t end = rest.find(';');
    if (rest[0] != ' ' || end == std::string_view::npos) {
        return false;
    }
    const std::string_view numbers = rest.substr(1, end - 1);
    const size_t blank = numbers.find(' ');
    if (blank == std::string_view::npos) {
        return false;
    }
    const int64_t records = ParseDecimal(numbers.substr(0, blank));
    const int64_t bytes = ParseDecimal(numbers.substr(blank + 1));
    if (records < 0 || records > INT32_MAX || bytes < 0) {
        return false;
    }
    out.crc = crc;
    out.records = static_cast<int32_t>(records);
    out.bytes = bytes;
    out.authorText = std::string(rest.substr(end + 1));
    return true;
}

std::string ZeroDigitsStored() {
    std::string text(kSealTag);
    text.append(kSealDigits, '0');
    Scramble(text.data(), static_cast<int64_t>(text.size()));
    return text.substr(kSealTag.size());
}

bool SealCrcOfFile(HostFile& file, int64_t start, int64_t bytes, int64_t digitsOffset,
                   uint32_t& crc) {
    if (start < 0 || bytes < 0 || !file.Seek(start)) {
        return false;
    }
    const std::string zeros = ZeroDigitsStored();
    Crc32 sum;
    uint8_t block[32 * 1024];
    for (int64_t done = 0; done < bytes;) {
        const int64_t want = std::min<int64_t>(bytes - done, sizeof block);
        const int64_t got = file.Read(block, want);
        if (got <= 0) {
            return false;
        }
        // The digits' bytes that fall into this block read as zeros.
        for (int64_t i = 0; i < static_cast<int64_t>(kSealDigits); ++i) {
            const int64_t at = digitsOffset + i - (start + done);
            if (at >= 0 && at < got) {
                block[at] = static_cast<uint8_t>(zeros[static_cast<size_t>(i)]);
            }
        }
        sum.Update(block, static_cast<size_t>(got));
        done += got;
    }
    crc = sum.Value();
    return true;
}

SealState CheckSeal(HostFile& file, const PackageInfo& info, const PackageExtent& extent) {
    const bool flagged = (info.flags & InfoSealed) != 0;
    if (!flagged && !StartsLikeSeal(info.reservedA)) {
        return SealState::None;
    }
    PackageSeal seal;
    uint32_t crc = 0;
    const int64_t bytes = extent.end - extent.start;
    if (!flagged || !ParseSeal(info.reservedA, seal) || seal.records != extent.records ||
        seal.bytes != bytes ||
        !SealCrcOfFile(file, extent.start, bytes,
                       extent.reservedAText + static_cast<int64_t>(kSealTag.size()), crc) ||
        crc != seal.crc) {
        return SealState::Broken;
    }
    return SealState::Sound;
}

} // namespace vuni
