// Updating and cleaning the user's default script, and the warning about merge files that
// extend a security-sensitive function.
#pragma once

#include "merge/jss_text.h"
#include "merge/merge_directive.h"
#include "package/package_types.h"

#include <functional>
#include <string>
#include <vector>

namespace vuni {

class Host;
class Log;

// One row of the wizard's file list, in display order.
struct MergeFileRow {
    int entryIndex = 0;
    bool checked = false;
};

// What the merging needs from the rest of the installer: the selection, the package's
// entries, and the services of other modules, injected so each can be wired or faked.
struct MergeContext {
    const std::vector<PackageEntry>* entries = nullptr;
    std::vector<MergeFileRow> rows;
    int chosenGroup = 0;
    std::string destinationPath; // the chosen settings folder, ending with "\"
    // Destination folder text with its placeholder expanded.
    std::function<std::string(const std::string&)> expandPlaceholders;
    // Backs up the settings file, or first copies it from the shared settings (not set:
    // nothing to prepare).
    std::function<bool(const std::string&)> prepareSettingsFile;
    // The plain content of an entry, extracted in memory only; false when it cannot be.
    std::function<bool(int entryIndex, std::string& content)> extractToMemory;
    // A message box with a single OK button.
    std::function<void(const std::string& title, const std::string& text)> showMessage;
};

// The bytes SaveJssFile writes for a text: one final LF of two dropped, LF as CR LF.
std::string SavedJssBytes(std::string_view text);

// The state of one default-script update: the text under edit, the merge file being
// applied and the conflict report of its merge pass.
class JssMerger {
public:
    JssMerger(Host& host, Log& log) : host_(host), log_(log) {}

    bool LoadJssFile(const std::string& path);
    // Writes through a temporary file beside path, so a failed save leaves the old file.
    bool SaveJssFile(const std::string& path);

    bool ParseMergeFile(const std::string& path, std::string_view content);
    void PrepareJssText(std::string_view tag);
    void MergeIntoJssText();

    // Applies (or, in remove mode, only takes back) every merge file of the chosen group to
    // the destination's default script, saving it once when all went well.
    bool UpdateDefaultJss(const MergeContext& context, bool removeMode);
    // Reports the checked merge files that add lines to KeyPressedEvent; warns once.
    void CheckSensitiveFunctions(const MergeContext& context);

    JssText& Jss() { return jss_; }
    const MergeFile& File() const { return file_; }
    const std::string& ConflictReport() const { return conflicts_; }

private:
    Host& host_;
    Log& log_;
    JssText jss_;
    MergeFile file_;
    std::string conflicts_;
};

} // namespace vuni
