// The records of the installer package appended to the program file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vuni {

// Bits of PackageInfo::flags.
constexpr int32_t InfoRestartJaws = 0x1;   // the restart check box starts checked
constexpr int32_t InfoUpdateButton = 0x2;  // the update button is offered
constexpr int32_t InfoUpdateAtStart = 0x8; // the version check runs at start-up
constexpr int32_t InfoCertified = 0x20;    // the author certified the scripts
constexpr int32_t InfoSealed = 0x10000;    // reserved text A starts with a seal

// Bits of PackageEntry::flags.
constexpr int32_t EntryOptional = 0x004;
constexpr int32_t EntryAssociable = 0x010;
constexpr int32_t EntryCompilable = 0x020;
constexpr int32_t EntryNoAssociation = 0x080;
constexpr int32_t EntryNoCompile = 0x100;

// Group index of the package's intro sound, which belongs to no group.
constexpr int32_t kIntroSoundGroup = -2;

// The info section, fields 1 to 17 in file order.
struct PackageInfo {
    int32_t date = 0; // seconds since 1970-01-01 00:00, local wall-clock time
    std::string applicationName;
    std::string applicationVersion;
    std::string recommendedCompanion;
    std::string recommendedJawsVersion;
    std::string scriptSetName;
    std::string scriptSetVersion;
    std::string author;
    std::string contact;
    std::string authorSite;
    std::string applicationSite;
    std::string creationText;
    std::string updateLocation;
    int32_t flags = 0;
    std::string reservedA;
    std::string reservedB;
    std::string comments;
};

struct ScriptGroup {
    std::string name;
    std::string alias; // aliases separated by ";"
};

struct PackageEntry {
    std::string sourceName;
    std::string destination;
    int32_t groupIndex = 0;
    int32_t compileOrder = 0;
    int32_t plainSize = 0;
    int32_t storedSize = 0;
    int32_t flags = 0;
    int64_t dataOffset = 0; // file offset of the stored bytes
};

} // namespace vuni
