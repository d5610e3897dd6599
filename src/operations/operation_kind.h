// The operation the user chooses on the wizard's operation page and the runner carries out.
#pragma once

#include <cstdint>

namespace vuni {

// The values are bits and consumers test single bits: Copy, Install (both install kinds),
// Backup (the install variant that saves the old files first), RemoveAssociation.
enum class OperationKind : int32_t {
    None = 0,
    Backup = 0x02,
    Copy = 0x10,
    Install = 0x20,
    InstallWithBackup = Install | Backup,
    RemoveAssociation = 0x80,
};

// Whether kind carries the bit (a single-bit kind: Copy, Install, Backup, RemoveAssociation).
constexpr bool HasBit(OperationKind kind, OperationKind bit) {
    return (static_cast<int32_t>(kind) & static_cast<int32_t>(bit)) != 0;
}

} // namespace vuni
