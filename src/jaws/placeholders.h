// Destination placeholders ("%JawsScriptPath%\Word.jss") and the short form of a path
// shown in the operations progress box.
#pragma once

#include "jaws/settings_folder.h"
#include "jaws/shell_folders.h"

#include <string>
#include <string_view>

namespace vuni {

// What the placeholders stand for: the shell folders fixed at start-up, and the script
// path of the destination the user has chosen. Build it at each use from the current
// choice, so that expansion always follows it.
struct PlaceholderContext {
    const ShellFolders& shell;
    std::string_view scriptPath; // field 9 of the chosen SettingsFolder; may be empty
};

// The context for the chosen entry (nullptr: none chosen yet, an empty script path).
PlaceholderContext PlaceholdersFor(const ShellFolders& shell, const SettingsFolder* chosen);

// The path with its leading placeholder (%User%, %AllUsers%, %UserAppData%,
// %AllUsersAppData%, %MyDoc%, %JawsScriptPath%, in any letter case, after blanks) replaced
// everywhere in it by its value without a final "\"; unchanged when it starts with none.
std::string ExpandPlaceholders(const PlaceholderContext& context, std::string_view path);

// The text shown for a destination: %JawsScriptPath% removed, placeholders expanded, and
// "C:\x" written "Disque C\x".
std::string DisplayPath(const PlaceholderContext& context, std::string_view path);

} // namespace vuni
