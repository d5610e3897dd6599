// Windows-1252 text helpers. Every text of the system is a std::string of Windows-1252 bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vuni {

// Lower case by code page 1252, as the Windows ANSI functions do: A-Z, the accented
// capitals 0xC0-0xDE (but 0xD7, the multiplication sign) and the four capitals of
// 0x8A, 0x8C, 0x8E, 0x9F.
char LowerChar(char c);
std::string Lower(std::string_view s);
// Upper case, the inverse mapping (used for display only).
char UpperChar(char c);

// Trims: Trim removes spaces (0x20) only; TrimBlanks removes spaces and tabs.
std::string_view TrimView(std::string_view s);
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);
std::string TrimBlanks(std::string_view s);

bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWith(std::string_view s, std::string_view prefix);
bool StartsWithNoCase(std::string_view s, std::string_view prefix);
bool EndsWith(std::string_view s, std::string_view suffix);

// Offset of the first occurrence of needle at or after from, compared by code page 1252
// lower case; npos when there is none (an empty needle is found at from).
size_t FindNoCase(std::string_view hay, std::string_view needle, size_t from = 0);
// Every occurrence of what replaced by with, left to right, without rescanning the
// replacement; what is matched case-insensitively (NoCase) or exactly.
std::string ReplaceAllNoCase(std::string_view s, std::string_view what, std::string_view with);
std::string ReplaceAll(std::string_view s, std::string_view what, std::string_view with);

// Split at every separator: "a;;b" gives {"a", "", "b"}; the empty text gives {""}.
std::vector<std::string> Split(std::string_view s, char separator);
// Field n (1-based) of s split at separator; the empty text past the last field.
std::string Field(std::string_view s, char separator, size_t n);
size_t CountChar(std::string_view s, char c);

std::string Decimal(int64_t value);
// The integer at the start of s, after leading blanks, with an optional sign; 0 when s
// does not start with a number. Digits stop at the first other character.
int64_t LeadingInteger(std::string_view s);

// Paths: Windows paths use "\"; the folder part runs up to and including the last "\" or
// "/", the file-name part is what follows it.
std::string FolderPart(std::string_view path);
std::string FileNamePart(std::string_view path);
std::string StripTrailingBackslash(std::string_view path);
std::string EnsureTrailingBackslash(std::string_view path);

// Conversions for the outside world (manifests, JSON). Utf8ToCp1252 fails (returns false)
// on a character that Windows-1252 cannot hold or on malformed UTF-8.
std::string Cp1252ToUtf8(std::string_view s);
bool Utf8ToCp1252(std::string_view utf8, std::string& out);

} // namespace vuni
