#include "log/log.h"
#include "package/info_fields.h"
#include "package/jcalg1.h"
#include "package/package.h"
#include "package/pe_certificate.h"
#include "package/scramble.h"
#include "platform/host.h"
#include "text/text.h"

#include <algorithm>
#include <cstring>

namespace vuni {
namespace {

constexpr int64_t kMaxFileSize = 2147483647;

// Sequential reads over a HostFile through a block buffer, with the position and the file
// size known, so that every field read is checked against the end of the file.
class PackageFileReader {
public:
    // block_ is filled by each read before any byte of it is used: zeroing 64 KB for every
    // entry read would only cost time.
    // cppcheck-suppress uninitMemberVar
    explicit PackageFileReader(HostFile& file) : file_(file), size_(file.Size()) {}

    int64_t FileSize() const { return size_; }

    // Makes the file end at end (at or after the current position) for every later read.
    void SetEnd(int64_t end) {
        size_ = end;
        const int64_t blockEnd = blockStart_ + static_cast<int64_t>(blockLen_);
        if (blockEnd > end) {
            blockLen_ = static_cast<size_t>(std::max<int64_t>(end - blockStart_, 0));
            blockPos_ = std::min(blockPos_, blockLen_);
        }
    }
    int64_t Position() const { return blockStart_ + static_cast<int64_t>(blockPos_); }

    bool Seek(int64_t position) {
        if (position < 0 || position > size_) {
            return false;
        }
        if (position >= blockStart_ && position <= blockStart_ + static_cast<int64_t>(blockLen_)) {
            blockPos_ = static_cast<size_t>(position - blockStart_);
            return true;
        }
        // A long jump forward (over file data) is followed by a short read: only a record
        // header is wanted there. A short one keeps reading whole blocks.
        const int64_t blockEnd = blockStart_ + static_cast<int64_t>(blockLen_);
        afterSeek_ = position < blockStart_ || position - blockEnd > kLongJump;
        blockStart_ = position;
        blockPos_ = 0;
        blockLen_ = 0;
        return file_.Seek(position);
    }

    // The next byte, or -1 at the end of the file or on a read error.
    int NextByte() {
        if (blockPos_ == blockLen_ && !Refill()) {
            return -1;
        }
        return block_[blockPos_++];
    }

    bool ReadBytes(void* out, int64_t count) {
        auto* p = static_cast<uint8_t*>(out);
        while (count > 0) {
            if (blockPos_ == blockLen_ && !Refill()) {
                return false;
            }
            const size_t take = std::min(static_cast<size_t>(count), blockLen_ - blockPos_);
            std::memcpy(p, block_ + blockPos_, take);
            p += take;
            blockPos_ += take;
            count -= static_cast<int64_t>(take);
        }
        return true;
    }

    bool ReadInt32(int32_t& value) {
        uint8_t b[4];
        if (!ReadBytes(b, 4)) {
            return false;
        }
        value = static_cast<int32_t>(
            static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
            (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24));
        return true;
    }

    // A scrambled string; false when its length runs past the end of the file.
    bool ReadScrambledString(std::string& text) {
        int32_t n = 0;
        if (!ReadInt32(n)) {
            return false;
        }
        text.clear();
        if (n < 1) {
            return true;
        }
        if (n > size_ - Position()) {
            return false;
        }
        text.resize(static_cast<size_t>(n));
        if (!ReadBytes(text.data(), n)) {
            return false;
        }
        Scramble(text.data(), n);
        return true;
    }

private:
    bool Refill() {
        blockStart_ += static_cast<int64_t>(blockLen_);
        blockPos_ = 0;
        blockLen_ = 0;
        // Reading a whole block after each jump over file data would make the walk cost
        // grow with the size of the files.
        const int64_t want = std::min(
            afterSeek_ ? kSeekReadSize : static_cast<int64_t>(sizeof block_), size_ - blockStart_);
        afterSeek_ = false;
        if (want <= 0) {
            return false;
        }
        const int64_t n = file_.Read(block_, want);
        if (n <= 0) {
            return false;
        }
        blockLen_ = static_cast<size_t>(n);
        return true;
    }

    HostFile& file_;
    int64_t size_;
    int64_t blockStart_ = 0;
    size_t blockPos_ = 0;
    size_t blockLen_ = 0;
    bool afterSeek_ = false;
    static constexpr int64_t kSeekReadSize = 256;
    static constexpr int64_t kLongJump = int64_t{16} << 10;
    uint8_t block_[64 * 1024];
};

// Reads text lines from the start of the file until one equals the marker; the reader is
// then just after that line's end. Lines end at LF, CR, CR LF, a zero byte or the end.
bool FindMarkerLine(PackageFileReader& reader, const std::string& marker) {
    size_t lineLength = 0;
    bool matching = true;
    for (;;) {
        const int c = reader.NextByte();
        const bool end = c < 0 || c == '\n' || c == '\r' || c == 0;
        if (end) {
            if (matching && lineLength == marker.size()) {
                if (c == '\r') {
                    const int64_t afterCr = reader.Position();
                    if (reader.NextByte() != '\n') {
                        reader.Seek(afterCr);
                    }
                }
                return true;
            }
            if (c < 0) {
                return false;
            }
            lineLength = 0;
            matching = true;
            continue;
        }
        if (matching && (lineLength >= marker.size() ||
                         static_cast<uint8_t>(marker[lineLength]) != static_cast<uint8_t>(c))) {
            matching = false;
        }
        ++lineLength;
    }
}

// Reads the info section; reservedAText is then the file offset of reserved text A's bytes.
bool ReadInfo(PackageFileReader& r, PackageInfo& info, int64_t& reservedAText) {
    return VisitInfoMembers(
        info, [&r](int32_t& number) { return r.ReadInt32(number); },
        [&](std::string& text) {
            if (&text == &info.reservedA) {
                reservedAText = r.Position() + 4; // after the length
            }
            return r.ReadScrambledString(text);
        });
}

// True when the bytes from the reader's position up to the end are all zero.
bool OnlyZerosToEnd(PackageFileReader& reader) {
    for (int c = reader.NextByte(); c >= 0; c = reader.NextByte()) {
        if (c != 0) {
            return false;
        }
    }
    return true;
}

void LogDamage(Log& log, int64_t offset) {
    log.LogLine("! Damaged package data at : " + Decimal(offset));
}

// A sealed package must account for every byte up to the end of its file, or up to its
// certificate table behind alignment zeros: a cut at a record boundary or bytes slipped in
// behind the last record are damage, not a shorter package.
bool EndsWhereItShould(PackageFileReader& reader, int64_t packageEnd, int64_t end,
                       bool signedFile) {
    if (!signedFile) {
        return packageEnd == end;
    }
    return end - packageEnd < kCertificateAlignment && reader.Seek(packageEnd) &&
           OnlyZerosToEnd(reader);
}

} // namespace

const PackageEntry* PackageState::Current() const {
    if (currentEntry < 0 || static_cast<size_t>(currentEntry) >= entries.size()) {
        return nullptr;
    }
    return &entries[static_cast<size_t>(currentEntry)];
}

LoadPackageResult LoadPackage(PackageState& state, Host& host, Log& log, const std::string& path) {
    state.entries.clear();
    state.groups.clear();
    state.currentEntry = -1;
    state.info = PackageInfo{};
    state.infoOffset = 0;
    state.seal = SealState::None;
    log.LogLine("* File Scan : " + path);

    bool found = false;
    bool damaged = false;
    bool packed = false;
    bool tooLarge = false;
    int64_t largest = 0;
    if (auto file = host.OpenRead(path)) {
        const int64_t size = file->Size();
        log.LogLine("  Size : " + Decimal(size) + " bytes");
        // A signed installer: the package ends where the certificate table begins (a
        // table that begins before the package belongs to a signed program image and is
        // none of the package's business).
        const int64_t certificates = size >= 0 ? FindCertificateTable(*file, size) : -1;
        PackageFileReader reader(*file);
        if (size >= 0 && file->Seek(0) && FindMarkerLine(reader, state.marker)) {
            found = true;
            state.infoOffset = reader.Position();
            const bool signedFile = certificates > state.infoOffset;
            const int64_t end = signedFile ? certificates : size;
            reader.SetEnd(end);
            log.LogLine("- Info Section at : " + Decimal(state.infoOffset));
            PackageExtent extent;
            // The line break before the marker line, as every package writer puts it.
            extent.start = state.infoOffset - static_cast<int64_t>(state.marker.size()) - 2;
            damaged = !ReadInfo(reader, state.info, extent.reservedAText);
            while (!damaged) {
                ScriptGroup group;
                const bool named = reader.ReadScrambledString(group.name);
                if (named && group.name.empty()) {
                    break; // the empty name ends the list
                }
                damaged = !named || !reader.ReadScrambledString(group.alias);
                if (!damaged) {
                    state.groups.push_back(std::move(group));
                }
            }
            int64_t position = reader.Position();
            if (!damaged) {
                log.LogLine("- File Section at : " + Decimal(position));
            }
            while (!damaged && position < end - 1) {
                // The alignment padding before a certificate table holds no record.
                if (signedFile && end - position < kCertificateAlignment && reader.Seek(position) &&
                    OnlyZerosToEnd(reader)) {
                    break;
                }
                PackageEntry e;
                if (!reader.Seek(position) || !reader.ReadScrambledString(e.sourceName) ||
                    !reader.ReadScrambledString(e.destination) || !reader.ReadInt32(e.groupIndex) ||
                    !reader.ReadInt32(e.compileOrder) || !reader.ReadInt32(e.plainSize) ||
                    !reader.ReadInt32(e.storedSize) || !reader.ReadInt32(e.flags)) {
                    damaged = true;
                    break;
                }
                e.dataOffset = reader.Position();
                // Sizes are untrusted: a negative size would walk backwards, a range past the
                // end of the file is a truncated package; a size past kMaxEntrySize is
                // more than the buffers may take (said once the walk is done).
                const bool isPacked = e.storedSize != e.plainSize;
                if (e.plainSize < 0 || e.storedSize < 0 || e.storedSize > end - e.dataOffset) {
                    damaged = true;
                    break;
                }
                tooLarge = tooLarge || e.plainSize > kMaxEntrySize || e.storedSize > kMaxEntrySize;
                largest = std::max<int64_t>(largest, e.plainSize);
                if (isPacked) {
                    packed = true;
                    largest = std::max<int64_t>(largest, e.storedSize);
                }
                log.LogLine("- " + e.sourceName + " To " + e.destination);
                log.LogLine("  Size=" + Decimal(e.plainSize) +
                            "bytes  PackSize=" + Decimal(e.storedSize) + "bytes");
                position = e.dataOffset + e.storedSize;
                state.entries.push_back(std::move(e));
            }
            if (damaged) {
                LogDamage(log, reader.Position());
            } else {
                extent.end = position;
                extent.records = static_cast<int64_t>(state.entries.size());
                state.seal = CheckSeal(*file, state.info, extent);
                if (state.seal == SealState::Sound &&
                    !EndsWhereItShould(reader, position, end, signedFile)) {
                    state.seal = SealState::Broken;
                }
                damaged = state.seal == SealState::Broken;
                log.LogLine(state.seal == SealState::None    ? "- No integrity seal"
                            : state.seal == SealState::Sound ? "- Integrity seal checked"
                                                             : "! The integrity seal does not "
                                                               "match: damaged or cut package");
            }
            log.LogLine("");
        }
    }

    if (tooLarge && !damaged) {
        return LoadPackageResult::OutOfMemory;
    }
    const auto bufferSize = static_cast<size_t>(largest + 2);
    if (!tooLarge && (!state.workBuffer.Allocate(bufferSize) ||
                      (packed && !state.packBuffer.Allocate(bufferSize)))) {
        return LoadPackageResult::OutOfMemory;
    }
    if (damaged) {
        state.entries.clear();
        state.groups.clear();
    }
    const bool ok = found && !damaged && !state.entries.empty() && !state.groups.empty();
    return ok ? LoadPackageResult::Success : LoadPackageResult::Failure;
}

int64_t LoadFileRange(PackageState& state, Host& host, Log& log, const std::string& path,
                      int64_t length, int64_t offset) {
    log.LogLine(" Loading in file : " + FileNamePart(path));
    log.LogLine(" Path " + FolderPart(path));
    const int64_t size = host.FileSize(path);
    if (size < 0 || size > kMaxFileSize || length < -1 || offset < 0) {
        log.LogLine("! Can't access file !");
        return 0;
    }
    if (length == -1) {
        length = size;
        log.LogLine(" Loading " + Decimal(length) + " bytes begining at " + Decimal(offset));
    } else {
        log.LogLine(" Loading " + Decimal(length) + "/ " + Decimal(size) + " bytes begining at " +
                    Decimal(offset));
    }
    const auto needed = static_cast<size_t>(length + 1);
    if (!state.workBuffer.Exists()) {
        state.workBuffer.Allocate(needed);
    } else if (state.workBuffer.Size() < needed) {
        log.LogLine("- Re-Allocate memory : " + Decimal(length + 1));
        if (!state.workBuffer.Allocate(needed)) {
            state.workBuffer.Release();
        }
    }
    if (!state.workBuffer.Exists()) {
        log.LogLine("! Error, no *FileBuffer available");
        return 0;
    }
    if (length == 0) {
        return 1;
    }
    // Only the program file is kept open: a user's file held open could not be replaced.
    const bool own = path == state.ownPath;
    std::unique_ptr<HostFile> other;
    std::unique_ptr<HostFile>& file = own ? state.openFile : other;
    if (own && state.openPath != path) {
        file.reset(); // the program was opened under another path before
    }
    if (!file || !file->Seek(offset)) {
        file = host.OpenRead(path);
        if (!file || !file->Seek(offset)) {
            log.LogLine("! Can't access to file ! ");
            return 0;
        }
        if (own) {
            state.openPath = path;
        }
    }
    int64_t done = 0;
    while (done < length) {
        const int64_t n = file->Read(state.workBuffer.Data() + done, length - done);
        if (n <= 0) {
            break;
        }
        done += n;
    }
    if (done == 0) {
        log.LogLine("! Can't access to file ! ");
    }
    return done;
}

bool DecodeEntryData(PackageState& state, int32_t plainSize, int32_t storedSize) {
    if (plainSize < 0 || storedSize < 0 ||
        state.workBuffer.Size() < static_cast<size_t>(std::max(plainSize, storedSize))) {
        return false;
    }
    if (plainSize == storedSize) {
        Scramble(state.workBuffer.Data(), plainSize);
        return true;
    }
    if (state.packBuffer.Size() < static_cast<size_t>(storedSize)) {
        return false;
    }
    std::memcpy(state.packBuffer.Data(), state.workBuffer.Data(), static_cast<size_t>(storedSize));
    return Jcalg1Decode(state.packBuffer.Data(), static_cast<size_t>(storedSize),
                        state.workBuffer.Data(), static_cast<size_t>(plainSize)) != 0;
}

std::optional<std::span<const uint8_t>> ExtractEntryContent(PackageState& state, Host& host,
                                                            Log& log, int index, bool logFailure) {
    state.currentEntry = index;
    const PackageEntry* entry = state.Current();
    if (entry == nullptr) {
        if (logFailure) {
            log.ProgressLine("! Erreur sythème");
        }
        return std::nullopt;
    }
    const int64_t got =
        LoadFileRange(state, host, log, state.ownPath, entry->storedSize, entry->dataOffset);
    if (got == 0) {
        return std::nullopt; // LoadFileRange has logged why
    }
    const char* failure = nullptr;
    // A short read (a truncated program file) must not be decoded into garbage.
    if (entry->storedSize > 0 && got != entry->storedSize) {
        failure = "! Can't access to file ! ";
    } else if (!DecodeEntryData(state, entry->plainSize, entry->storedSize)) {
        failure = "! UnPack Error";
    }
    if (failure != nullptr) {
        if (logFailure) {
            log.LogLine(failure);
        }
        return std::nullopt;
    }
    // Decoding checked that the buffer holds the plain content.
    return std::span<const uint8_t>(state.workBuffer.Data(), static_cast<size_t>(entry->plainSize));
}

bool ExtractEntry(PackageState& state, Host& host, Log& log, const std::string& destination,
                  bool memoryOnly) {
    const auto content = ExtractEntryContent(state, host, log, state.currentEntry);
    if (!content) {
        return false;
    }
    if (memoryOnly) {
        return true;
    }
    // Written beside the destination and then put in its place, so that a failed write
    // (a full disk) never leaves a truncated file where the user's file was.
    if (!host.ReplaceFile(destination, content->data(), content->size())) {
        log.LogLine(" ! Error during save file");
        return false;
    }
    return true;
}

bool ExtractEntryToFile(PackageState& state, Host& host, Log& log, int index,
                        const std::string& destination) {
    state.currentEntry = index;
    return ExtractEntry(state, host, log, destination, false);
}

} // namespace vuni
