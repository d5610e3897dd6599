// Writing a package behind a program image, exactly in the layout the reader expects.
#pragma once

#include "package/package_types.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vuni {

// Receives the package bytes in order; returns false to stop writing.
using ByteSink = std::function<bool(const void* data, size_t size)>;

class PackageWriter {
public:
    explicit PackageWriter(ByteSink sink) : sink_(std::move(sink)) {}

    // The line break, the marker line, the info section and the groups, ended by an empty
    // name. Called once, before the entries.
    bool WriteHeader(const PackageInfo& info, const std::vector<ScriptGroup>& groups);
    // A file record with its data: plain content to store scrambled (stored.size() ==
    // entry.plainSize) or a JCALG1 stream of another size, written as it is. The stored size
    // is the size of stored; entry.storedSize and entry.dataOffset are not read.
    bool WriteEntry(const PackageEntry& entry, std::string stored);

    int64_t BytesWritten() const { return written_; }

private:
    bool Put(const void* data, size_t size);
    bool PutInt32(int32_t value);
    bool PutScrambledString(const std::string& text);

    ByteSink sink_;
    int64_t written_ = 0;
};

// The header (as WriteHeader writes it) of a sealed package whose file records, records of
// them, a PackageWriter wrote into body: info gets the InfoSealed flag and a reserved text
// A that starts with the seal of header and body together (see package_seal.h). The package
// is the returned header followed by body.
std::string SealedHeader(const PackageInfo& info, const std::vector<ScriptGroup>& groups,
                         int32_t records, std::string_view body);

} // namespace vuni
