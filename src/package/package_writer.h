// Writing a package behind a program image, exactly in the layout the reader expects.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "package/package_types.h"

namespace vuni {

// Receives the package bytes in order; returns false to stop writing.
using ByteSink = std::function<bool(const void* data, size_t size)>;

// One file record: the record's fields and the bytes stored after it. When stored equals
// plain content in size, the writer scrambles it; otherwise the bytes are a JCALG1 stream
// written as they are.
struct PackageWriterEntry {
    std::string sourceName;
    std::string destination;
    int32_t groupIndex = 0;
    int32_t compileOrder = 0;
    int32_t plainSize = 0;
    int32_t flags = 0;
};

class PackageWriter {
public:
    explicit PackageWriter(ByteSink sink) : sink_(std::move(sink)) {}

    // The line break, the marker line, the info section and the groups, ended by an empty
    // name. Called once, before the entries.
    bool WriteHeader(const PackageInfo& info, const std::vector<ScriptGroup>& groups);
    // A record with its data: plain content to store scrambled (stored.size() ==
    // entry.plainSize) or a packed stream of another size.
    bool WriteEntry(const PackageWriterEntry& entry, std::string stored);

    int64_t BytesWritten() const { return written_; }

private:
    bool Put(const void* data, size_t size);
    bool PutInt32(int32_t value);
    bool PutScrambledString(const std::string& text);

    ByteSink sink_;
    int64_t written_ = 0;
};

} // namespace vuni
