// Reading the package appended to the program file, and extracting its files.
#pragma once

#include "package/byte_buffer.h"
#include "package/package_seal.h"
#include "package/package_types.h"
#include "platform/host.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vuni {

class Log;

// The package as read at start-up, and the two buffers that every extraction reuses.
struct PackageState {
    std::string ownPath; // the program file the package is read from
    std::string marker;  // PackageMarker(), assembled at start-up
    int64_t infoOffset = 0;
    PackageInfo info;
    std::vector<ScriptGroup> groups;
    std::vector<PackageEntry> entries;
    int currentEntry = -1; // index into entries: the entry ExtractEntry works on
    SealState seal = SealState::None;
    ByteBuffer workBuffer;
    ByteBuffer packBuffer;
    // The program file stays open from one extraction to the next: an install of many
    // small files would otherwise spend much of its time opening it.
    std::unique_ptr<HostFile> openFile;
    std::string openPath; // the path openFile was opened as

    const PackageEntry* Current() const;
};

enum class LoadPackageResult {
    Success,
    Failure,     // no file, no marker, no group, no file record, or a damaged package
    OutOfMemory, // the buffers could not be allocated: the caller says so and ends
};

// The largest plain or stored size an entry may have. The format bounds no ratio between
// the two (a long run of zeros packs a thousand times and more), so the guard is on the
// size itself: a larger claim is a package this program cannot hold in memory, said as
// such, rather than a reason to try an allocation that a 32-bit process cannot make.
constexpr int64_t kMaxEntrySize = int64_t{1} << 30;

// Reads marker, info section, script groups and file records of the file at path. The file
// section runs to the end of the file or, in a signed installer, up to the certificate table
// (see pe_certificate.h). A sealed package (see package_seal.h) whose seal does not match
// its bytes is a damaged one.
LoadPackageResult LoadPackage(PackageState& state, Host& host, Log& log, const std::string& path);

// Reads length bytes at offset of the file into the work buffer (-1: the whole file).
// Returns the count read, 1 when length is 0, 0 on failure.
int64_t LoadFileRange(PackageState& state, Host& host, Log& log, const std::string& path,
                      int64_t length, int64_t offset);

// Turns the stored bytes now in the work buffer into the plain content, in place.
bool DecodeEntryData(PackageState& state, int32_t plainSize, int32_t storedSize);

// Brings the current entry's content into the work buffer and, unless memoryOnly, saves it.
bool ExtractEntry(PackageState& state, Host& host, Log& log, const std::string& destination,
                  bool memoryOnly);

// The calls that callers use: each names the entry it wants (an index into entries), makes
// it the current entry and extracts it as ExtractEntry does.

// The entry's plain content: a view of the work buffer, valid until the buffer is loaded
// again. Nothing when the extraction fails, which is logged as ExtractEntry does unless
// logFailure is false: then only LoadFileRange's own lines are (the file viewer tells the
// user in its box instead).
std::optional<std::span<const uint8_t>>
ExtractEntryContent(PackageState& state, Host& host, Log& log, int index, bool logFailure = true);
// The entry saved to the file at destination (its folder must exist).
bool ExtractEntryToFile(PackageState& state, Host& host, Log& log, int index,
                        const std::string& destination);

} // namespace vuni
