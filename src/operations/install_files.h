// Writing the packaged files to disk: the copy to a folder of the user's choice, the install
// into the settings folders (optionally after backing up the files it replaces), and the
// helpers that the settings-file steps share.
#pragma once

#include "operations/operation_context.h"

#include <string>

namespace vuni {

// destination + application name + " Scripts " + script set version + "Jaws " + group name
// + "\", joined as they stand.
std::string CopyBaseFolder(const OperationContext& ctx);
// destination + "Bak\" + script set name + "\".
std::string BackupFolder(const OperationContext& ctx);

// Creates the folder chain of a file path; true when its folder exists afterwards.
bool EnsureFolderFor(Host& host, const std::string& path);

// Copies a regular file over another without ever leaving a damaged target: an existing
// target is replaced only once the new content is complete, and a partial new file is
// removed.
bool CopyFileOver(Host& host, const std::string& from, const std::string& to);

// Makes a settings file ready for editing: backs up an existing file into the backup folder,
// or gives a missing per-user file a first copy of its shared counterpart. Fails when the
// backup or that first copy could not be made; a missing file with nothing to copy is fine.
bool PrepareSettingsFile(const OperationContext& ctx, const std::string& path);

// The copy-to-folder operation; false when a selected file could not be written.
bool CopyFilesToFolder(OperationContext& ctx);
// The first step of both installs; false when a selected file could not be written (failed
// backups do not count).
bool InstallFiles(OperationContext& ctx, bool backupFirst);

} // namespace vuni
