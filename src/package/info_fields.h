// The fields of the package's info section, described once: their order in the file, their
// names (the manifest's keys, the listing's labels) and the PackageInfo member each fills.
// The reader, the writer, `vunipack list` and the manifest all follow this table.
#pragma once

#include "package/package_types.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

namespace vuni {

enum class InfoFieldKind {
    Date,  // int32: seconds since 1970-01-01 00:00, local wall-clock time
    Flags, // int32: the Info* bits
    Text,  // scrambled string
};

struct InfoField {
    const char* name;
    InfoFieldKind kind;
    int32_t PackageInfo::*number = nullptr;   // Date and Flags
    std::string PackageInfo::*text = nullptr; // Text
};

namespace detail {
constexpr InfoField Number(const char* name, InfoFieldKind kind, int32_t PackageInfo::*member) {
    return {name, kind, member, nullptr};
}
constexpr InfoField Text(const char* name, std::string PackageInfo::*member) {
    return {name, InfoFieldKind::Text, nullptr, member};
}
} // namespace detail

// In file order.
inline constexpr InfoField kInfoFields[] = {
    detail::Number("date", InfoFieldKind::Date, &PackageInfo::date),
    detail::Text("applicationName", &PackageInfo::applicationName),
    detail::Text("applicationVersion", &PackageInfo::applicationVersion),
    detail::Text("recommendedCompanion", &PackageInfo::recommendedCompanion),
    detail::Text("recommendedJawsVersion", &PackageInfo::recommendedJawsVersion),
    detail::Text("scriptSetName", &PackageInfo::scriptSetName),
    detail::Text("scriptSetVersion", &PackageInfo::scriptSetVersion),
    detail::Text("author", &PackageInfo::author),
    detail::Text("contact", &PackageInfo::contact),
    detail::Text("authorSite", &PackageInfo::authorSite),
    detail::Text("applicationSite", &PackageInfo::applicationSite),
    detail::Text("creationText", &PackageInfo::creationText),
    detail::Text("updateLocation", &PackageInfo::updateLocation),
    detail::Number("flags", InfoFieldKind::Flags, &PackageInfo::flags),
    detail::Text("reservedA", &PackageInfo::reservedA),
    detail::Text("reservedB", &PackageInfo::reservedB),
    detail::Text("comments", &PackageInfo::comments),
};
static_assert(std::size(kInfoFields) == 17, "the info section has 17 fields");

namespace detail {
template <size_t I, typename Info, typename OnNumber, typename OnText>
bool VisitInfoMember(Info& info, OnNumber& number, OnText& text) {
    constexpr InfoField field = kInfoFields[I];
    if constexpr (field.text != nullptr) {
        return text(info.*field.text);
    } else {
        return number(info.*field.number);
    }
}
template <typename Info, typename OnNumber, typename OnText, size_t... I>
bool VisitInfoMembers(Info& info, OnNumber& number, OnText& text, std::index_sequence<I...>) {
    return (VisitInfoMember<I>(info, number, text) && ...);
}
} // namespace detail

// Calls number (with an int32_t&) or text (with a std::string&; const for a const info) for
// each member of info in file order, until one returns false; true when every call did. The
// table is read at compile time: a caller that never looks at the names, as the installer's
// reader, does not carry them.
template <typename Info, typename OnNumber, typename OnText>
bool VisitInfoMembers(Info& info, OnNumber&& number, OnText&& text) {
    return detail::VisitInfoMembers(info, number, text,
                                    std::make_index_sequence<std::size(kInfoFields)>{});
}

} // namespace vuni
