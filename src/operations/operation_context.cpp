#include "operations/operation_context.h"

#include "text/safe_path.h"

namespace vuni {

std::string OperationContext::GroupName() const {
    if (chosenGroup < 0 || static_cast<size_t>(chosenGroup) >= package.groups.size()) {
        return {};
    }
    return package.groups[static_cast<size_t>(chosenGroup)].name;
}

std::string OperationContext::GroupAlias() const {
    if (chosenGroup < 0 || static_cast<size_t>(chosenGroup) >= package.groups.size()) {
        return {};
    }
    return package.groups[static_cast<size_t>(chosenGroup)].alias;
}

std::string OperationContext::Expand(const std::string& path) const {
    return expandPlaceholders ? expandPlaceholders(path) : path;
}

std::string OperationContext::Display(const std::string& path) const {
    return displayPath ? displayPath(path) : path;
}

MessageAnswer OperationContext::Ask(const std::string& title, const std::string& text,
                                    MessageKind boxKind) const {
    if (!ui.messageBox) {
        return boxKind == MessageKind::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
    }
    return ui.messageBox(title, text, boxKind);
}

const PackageEntry* OperationContext::RowEntry(const OperationRow& row) const {
    if (row.entryIndex < 0 || static_cast<size_t>(row.entryIndex) >= package.entries.size()) {
        return nullptr;
    }
    const PackageEntry& entry = package.entries[static_cast<size_t>(row.entryIndex)];
    return entry.groupIndex == chosenGroup ? &entry : nullptr;
}

std::string OperationContext::InstallTarget(const PackageEntry& entry) const {
    return Expand(entry.destination) + entry.sourceName;
}

const char* OperationContext::RefusedTarget(const PackageEntry& entry) const {
    return UnsafePathReason(InstallTarget(entry), true);
}

const char* OperationContext::RefusedCopyTarget(const PackageEntry& entry) const {
    return UnsafePathReason(Display(entry.destination) + entry.sourceName, false);
}

} // namespace vuni
