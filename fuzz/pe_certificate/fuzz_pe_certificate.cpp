// FindCertificateTable on arbitrary program files; the first byte picks how short the
// file's reads are.
//
// A table found lies within the file; the answer does not depend on how the reads are cut, and
// a table found no longer counts once bytes are appended after it (a signature ends the file).
#include "common/fuzz_input.h"
#include "package/pe_certificate.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Check(bool ok) {
    if (!ok) {
        std::abort();
    }
}

int64_t Find(std::string_view bytes, size_t piece) {
    vuni::fuzz::MemoryFile file(bytes, piece);
    return vuni::FindCertificateTable(file, file.Size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const size_t piece = data[0] % 8 + 1;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    const int64_t table = Find(bytes, SIZE_MAX);
    Check(table == -1 || (table > 0 && table < static_cast<int64_t>(bytes.size())));
    Check(Find(bytes, piece) == table);
    if (table > 0) {
        Check(bytes.starts_with("MZ"));
        const std::string longer = std::string(bytes) + std::string(data[0], '\xA5');
        Check(Find(longer, piece) == (longer.size() == bytes.size() ? table : -1));
    }
    return 0;
}
