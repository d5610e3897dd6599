// The simulated registry: keys and values loaded from a .reg file, the text format that
// regedit writes and Wine imports ("REGEDIT4" or "Windows Registry Editor Version 5.00").
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vuni {

struct SimRegistryValue {
    std::string name;    // as written; "" is the key's default value
    bool isText = false; // REG_SZ or REG_EXPAND_SZ
    std::string data;    // Windows-1252 text for text values, the raw bytes otherwise
};

class SimRegistry {
public:
    // Reads a .reg file's bytes: UTF-16LE with its byte-order mark (what regedit writes for
    // version 5), UTF-8 (with or without a mark) or Windows-1252 text. Keys and values
    // are added to the ones already there; [-key] deletes a key with its subkeys and
    // "name"=- deletes a value. False, with the registry unchanged, when the text is not a
    // registry file; a line that cannot be understood is skipped.
    bool Import(std::string_view fileBytes);

    // Keys are full paths with their root: "HKEY_LOCAL_MACHINE\SOFTWARE\x" (HKLM and HKCU
    // are accepted too). Names are compared without regard to case.
    void SetString(std::string_view key, std::string_view name, std::string_view text);
    void SetBinary(std::string_view key, std::string_view name, std::string_view bytes);
    void CreateKey(std::string_view key);
    void DeleteKey(std::string_view key);

    bool KeyExists(std::string_view key) const;
    // nullptr when the key or the value does not exist.
    const SimRegistryValue* FindValue(std::string_view key, std::string_view name) const;
    // The names of the direct subkeys, in the order Windows enumerates them (by name,
    // without regard to case).
    std::vector<std::string> Subkeys(std::string_view key) const;

private:
    struct Key {
        std::string name;                               // the last component as written
        std::map<std::string, SimRegistryValue> values; // by lower-case name
    };
    // Normalised lower-case path ("hkey_local_machine\software\x"); empty when the root
    // is not known.
    static std::string Normalise(std::string_view key);
    Key* Ensure(std::string_view key);

    std::map<std::string, Key> keys_; // by normalised path
};

} // namespace vuni
