// The integrity seal that vunipack puts on every package it writes.
//
// The package format itself carries no checksum. The seal travels in the info section's
// reserved text A, which readers keep and no operation uses, ahead of whatever text the
// author put there:
//     "VuniSeal1 " CRC " " RECORDS " " BYTES ";" [the author's reserved text A]
// CRC is eight upper-case hexadecimal digits: the CRC-32 of the whole package, from the line
// break before the marker to the end of the file section (so a signature appended later
// leaves it intact), computed with these eight digits reading "00000000". RECORDS is the
// number of file records and BYTES the package's length, in decimal. The info flag
// InfoSealed is set as well, so that no single damaged bit can make a sealed package look
// unsealed: a package with the flag or with a text that starts like a seal must carry a
// sound seal.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vuni {

class HostFile;
struct PackageInfo;

// What the integrity seal says about a package.
enum class SealState {
    None,   // no seal (a package made by another tool): read as the format alone says
    Sound,  // the seal matches every byte of the package
    Broken, // a seal, or the flag that announces one, that does not match: a damaged package
};

constexpr std::string_view kSealTag = "VuniSeal1 ";
constexpr size_t kSealDigits = 8; // the CRC's digits, right after the tag

struct PackageSeal {
    uint32_t crc = 0;
    int32_t records = 0;
    int64_t bytes = 0;
    std::string authorText; // the reserved text A that follows the seal
};

// The reserved text A that carries seal.
std::string SealText(const PackageSeal& seal);

// true when text starts with the seal's tag (even a damaged seal must be checked).
bool StartsLikeSeal(std::string_view text);

// Reads a seal written by SealText; false when text is not exactly one.
bool ParseSeal(std::string_view text, PackageSeal& out);

// The stored (scrambled) bytes of "00000000" at the digits' place in a seal text, which
// stand for the digits while the CRC is computed.
std::string ZeroDigitsStored();

// The CRC of bytes bytes of file from start, the kSealDigits bytes at digitsOffset taken
// as ZeroDigitsStored(). false when the file cannot give all of them.
bool SealCrcOfFile(HostFile& file, int64_t start, int64_t bytes, int64_t digitsOffset,
                   uint32_t& crc);

// Where a package lies in its file, as the reader found it.
struct PackageExtent {
    int64_t start = 0;         // the line break before the marker line
    int64_t end = 0;           // just after the last file record
    int64_t reservedAText = 0; // the stored bytes of info.reservedA
    int64_t records = 0;       // file records read
};

// Checks the seal that info announces (by its flag or by reserved text A) against the
// package's bytes in file.
SealState CheckSeal(HostFile& file, const PackageInfo& info, const PackageExtent& extent);

} // namespace vuni
