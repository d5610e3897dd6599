// Names of the remote version descriptor, built from the package's description.
#pragma once

#include "package/package_types.h"
#include "platform/host.h"

#include <string>
#include <string_view>

namespace vuni {

// The template of the descriptor's name: application name and version, lower case.
inline constexpr std::string_view kVersionFileTemplate = "#%AN-%AV.UPQ";

// Expands a name template: the date tokens (see date_mask.h) with now, then "%AN", "%AV",
// "%SN" and "%SV" (any case) with the application name and version and the script set name
// and version. Inserted values are taken as they are, never scanned for tokens. The result
// is trimmed of blanks; a leading "#" is dropped and lower-cases the rest (code page 1252).
std::string ExpandVersionTemplate(std::string_view text, const PackageInfo& info,
                                  const WallClock& now);

// The descriptor's file name on the server: the expanded template followed by "UPQ"
// ("monappli-1.2.upqUPQ" for MonAppli 1.2).
std::string RemoteVersionFileName(const PackageInfo& info, const WallClock& now);

// The name of the descriptor's local copy: the remote file name with each character that a
// Windows file name cannot hold ("\", "/", ":", "*", "?", quote, "<", ">", "|", control
// characters) made "_", so that the package's texts can never place the copy, which is
// written and then deleted, outside the temporary folder.
std::string LocalVersionFileName(const PackageInfo& info, const WallClock& now);

} // namespace vuni
