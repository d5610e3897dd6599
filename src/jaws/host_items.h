// Everything the installer relies on from the screen reader and from Windows, by name: the
// registry keys and values, folders, processes, programs and files. No other file spells
// these names.
#pragma once

namespace vuni {

// ---- registry (under HKEY_LOCAL_MACHINE)
// One subkey per installed version ("11.0"); the text before the first "." is the major
// version.
inline constexpr char kJawsVersionsKey[] = "SOFTWARE\\Freedom Scientific\\JAWS";
// Version 6 and later: the runtime folder of each version, under its version subkey.
inline constexpr char kJawsRuntimeKey[] = "SOFTWARE\\Freedom Scientific\\RunTime JAWS";
// The folder value of a version subkey (program folder or runtime folder).
inline constexpr char kJawsTargetValue[] = "Target";

// ---- registry (under HKEY_CURRENT_USER): the user's Windows language
inline constexpr char kInternationalKey[] = "Control Panel\\International";
inline constexpr char kLanguageValue[] = "sLanguage";

// ---- shell special folders (CSIDL numbers)
inline constexpr int kCsidlUserAppData = 26;   // the user's application data
inline constexpr int kCsidlSharedAppData = 35; // application data common to all users
inline constexpr int kCsidlMyDocuments = 5;    // the user's documents

// ---- settings folders
// Below an application data folder: + version + kJawsSettingsFolder.
inline constexpr char kJawsDataFolder[] = "Freedom Scientific\\JAWS\\";
inline constexpr char kJawsSettingsFolder[] = "\\Settings\\";
// Before version 6 the settings live under the program folder.
inline constexpr char kOldSettingsFolder[] = "SETTINGS\\";
inline constexpr int kFirstVersionWithSharedSettings = 6;
// Language folders: three-letter names.
inline constexpr unsigned kLanguageFolderNameLength = 3;
inline constexpr char kLanguageFrench[] = "fra";
inline constexpr char kLanguageAmerican[] = "enu";

// ---- processes
inline constexpr char kJawsProcess[] = "jfw.exe";              // the running screen reader
inline constexpr char kScriptManagerProcess[] = "JScript.exe"; // blocks the installer

// ---- programs and library
inline constexpr char kScriptCompiler[] = "scompile.exe"; // in the program folder
inline constexpr char kJawsStopProgram[] = "JfwKill.Exe"; // in the runtime folder
inline constexpr char kJawsProgram[] = "Jfw.Exe";         // in the program folder
inline constexpr char kJawsApiLibrary[] = "JfwAPI.Dll";   // in the program folder
inline constexpr char kJawsApiFunction[] = "JFWRunFunction";
inline constexpr char kReloadAllConfigsCall[] = "ReloadAllConfigs()";
// What the compiler writes beside a source: the same name with this extension.
inline constexpr char kCompiledScriptExtension[] = ".jsb";

// ---- files in a language folder
inline constexpr char kDefaultScript[] = "Default.Jss";
inline constexpr char kConfigNamesFile[] = "ConfigNames.Ini";
inline constexpr char kConfigNamesSection[] = "ConfigNames";

// ---- destination placeholders of package entries (matched in any letter case)
inline constexpr char kUserJawsPlaceholder[] = "%User%";                 // per-user settings root
inline constexpr char kSharedJawsPlaceholder[] = "%AllUsers%";           // shared settings root
inline constexpr char kUserAppDataPlaceholder[] = "%UserAppData%";       // CSIDL 26
inline constexpr char kSharedAppDataPlaceholder[] = "%AllUsersAppData%"; // CSIDL 35
inline constexpr char kMyDocumentsPlaceholder[] = "%MyDoc%";             // CSIDL 5
inline constexpr char kScriptPathPlaceholder[] = "%JawsScriptPath%"; // the chosen language folder

} // namespace vuni
