#include "manifest.h"
#include "manifest_warnings.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vuni::pack {
namespace {

const std::string kMinimal = "[package]\n"
                             "date = 2024-02-29 23:59\n"
                             "applicationName = Bloc-notes\n"
                             "scriptSetName = BN\n"
                             "[group 2020]\n"
                             "alias = notepad\n"
                             "[file]\n"
                             "path = a.jss\n"
                             "group = 2020\n";

struct Parsed {
    bool ok = false;
    Manifest manifest;
    std::vector<ManifestError> errors;
};

Parsed Parse(const std::string& text) {
    Parsed p;
    p.ok = ParseManifest(text, p.manifest, p.errors);
    return p;
}

// The single error of a manifest: its line and a word its message must contain.
void ExpectOneError(const std::string& text, int line, const std::string& word) {
    const Parsed p = Parse(text);
    EXPECT_FALSE(p.ok);
    ASSERT_EQ(p.errors.size(), 1u) << text;
    EXPECT_EQ(p.errors[0].line, line) << p.errors[0].message;
    EXPECT_NE(p.errors[0].message.find(word), std::string::npos) << p.errors[0].message;
}

// Some error of the manifest has that line and a message holding word.
void ExpectError(const std::string& text, int line, const std::string& word) {
    const Parsed p = Parse(text);
    EXPECT_FALSE(p.ok);
    bool found = false;
    for (const ManifestError& e : p.errors) {
        found = found || (e.line == line && e.message.find(word) != std::string::npos);
    }
    EXPECT_TRUE(found) << text;
}

TEST(Manifest, EveryFieldGroupAndFileIsRead) {
    const std::string text =
        "\xEF\xBB\xBF; comment\r\n"
        "[package]\r\n"
        "date = 1700000000\r\n"
        "applicationName = Bloc-notes\r\n"
        "APPLICATIONVERSION = 11\r\n"
        "recommendedCompanion = c\r\nrecommendedJawsVersion = 2020\r\n"
        "scriptSetName = BN\r\nscriptSetVersion = 1.0\r\nauthor = Élise\r\n"
        "contact = e@x\r\nauthorSite = http://a\r\napplicationSite = http://b\r\n"
        "creationText = ct\r\nupdateLocation = http://u/\r\n"
        "flags = restart, update-button update-at-start,certified\r\n"
        "reservedA = ra\r\nreservedB = rb\r\n"
        "comments = ligne 1\r\n  | ligne 2\r\n|ligne 3\r\n"
        "[group 2020]\r\nalias = notepad;np\r\n"
        "[group Jaws 2024]\r\n"
        "[intro]\r\npath = son/intro.wav\r\n"
        "[file]\r\npath = scripts/a.jss\r\nname = b.jss\r\ndestination = %User%/Settings\r\n"
        "group = jaws 2024\r\ncompileOrder = 3\r\nflags = optional, associable, compilable\r\n";
    const Parsed p = Parse(text);
    ASSERT_TRUE(p.ok) << (p.errors.empty() ? "" : p.errors[0].message);
    const PackageInfo& i = p.manifest.info;
    EXPECT_EQ(i.date, 1700000000);
    EXPECT_EQ(i.applicationVersion, "11");
    EXPECT_EQ(i.author, "Élise");
    EXPECT_EQ(i.flags, InfoRestartJaws | InfoUpdateButton | InfoUpdateAtStart | InfoCertified);
    EXPECT_EQ(i.reservedB, "rb");
    EXPECT_EQ(i.comments, "ligne 1\r\nligne 2\r\nligne 3");
    ASSERT_EQ(p.manifest.groups.size(), 2u);
    EXPECT_EQ(p.manifest.groups[0].alias, "notepad;np");
    EXPECT_EQ(p.manifest.groups[1].name, "Jaws 2024");
    ASSERT_EQ(p.manifest.files.size(), 2u);
    const ManifestFile& intro = p.manifest.files[0];
    EXPECT_EQ(intro.entry.groupIndex, kIntroSoundGroup);
    EXPECT_EQ(intro.entry.sourceName, "intro.wav");
    const ManifestFile& f = p.manifest.files[1];
    EXPECT_EQ(f.entry.sourceName, "b.jss");
    EXPECT_EQ(f.path, "scripts/a.jss");
    EXPECT_EQ(f.entry.destination, "%User%\\Settings\\");
    EXPECT_EQ(f.entry.groupIndex, 1);
    EXPECT_EQ(f.entry.compileOrder, 3);
    EXPECT_EQ(f.entry.flags, EntryOptional | EntryAssociable | EntryCompilable);
    EXPECT_EQ(f.line, 28);
}

TEST(Manifest, DefaultsForAFile) {
    const Parsed p = Parse(kMinimal);
    ASSERT_TRUE(p.ok);
    ASSERT_EQ(p.manifest.files.size(), 1u);
    EXPECT_EQ(p.manifest.files[0].entry.sourceName, "a.jss");
    EXPECT_EQ(p.manifest.files[0].entry.destination, "%JawsScriptPath%\\");
    EXPECT_EQ(p.manifest.files[0].entry.compileOrder, 0);
    EXPECT_EQ(p.manifest.files[0].entry.flags, 0);
    EXPECT_EQ(p.manifest.info.date, 1709251140); // 2024-02-29 23:59 as wall-clock seconds
}

TEST(Manifest, EncodingIsUtf8WhenValidElseWindows1252) {
    // "é" as UTF-8, and as the single Windows-1252 byte: both give the same text.
    const Parsed utf8 = Parse(kMinimal + "[group \xC3\xA9t\xC3\xA9]\n");
    ASSERT_TRUE(utf8.ok);
    EXPECT_EQ(utf8.manifest.groups[1].name, "\xE9t\xE9");
    const Parsed cp = Parse(kMinimal + "[group \xE9t\xE9]\n");
    ASSERT_TRUE(cp.ok);
    EXPECT_EQ(cp.manifest.groups[1].name, "\xE9t\xE9");
    // A character outside Windows-1252 (U+0142) in a UTF-8 manifest, and a byte that is
    // undefined in Windows-1252 in another.
    ExpectOneError(kMinimal + "[group \xC5\x82]\n", 10, "U+0142 at column 8");
    ExpectOneError(kMinimal + "[group \xE9]\n[group \x81]\n", 11, "0x81 at column 8");
    // The line is still read: a key on it does not go missing as well.
    std::string minimal = kMinimal;
    minimal.replace(minimal.find("Bloc-notes"), 10, "Bloc-n\xC5\x82tes \xF0\x9F\x98\x80");
    ExpectOneError(minimal, 3, "U+0142 at column 25");
}

TEST(Manifest, EachFaultNamesItsLine) {
    ExpectOneError(kMinimal + "colour = blue\n", 10, "unknown key 'colour'");
    ExpectOneError(kMinimal + "path = b.jss\n", 10, "duplicate key 'path'");
    ExpectOneError(kMinimal + "[file]\npath = b.jss\ngroup = 2030\n", 12, "unknown group '2030'");
    ExpectOneError(kMinimal + "[file]\npath = a.jss\ngroup = 2020\n", 10, "duplicate file");
    ExpectOneError(kMinimal + "[group 2020]\n", 10, "duplicate group");
    ExpectOneError(kMinimal + "[package]\nauthor = x\n", 10, "duplicate [package]");
    ExpectOneError(kMinimal + "[intro]\npath = a.wav\n[intro]\npath = b.wav\n", 12,
                   "duplicate [intro]");
    ExpectOneError(kMinimal + "[files]\n", 10, "unknown section");
    ExpectOneError(kMinimal + "compileOrder = -1\n", 10, "compileOrder");
    ExpectOneError(kMinimal + "compileOrder = 1x\n", 10, "compileOrder");
    ExpectOneError(kMinimal + "flags = compilable, shiny\n", 10, "flags");
    ExpectOneError(kMinimal + "name = ..\\evil.jss\n", 10, "name");
    ExpectOneError(kMinimal + "name = NUL.txt\n", 10, "device");
    ExpectOneError(kMinimal + "destination = %JawsScriptPath%\\..\\..\\\n", 10, "\"..\"");
    ExpectOneError(kMinimal + "destination = C:\\Windows\\x:y\n", 10, "\":\"");
    ExpectOneError(kMinimal + "destination = %MyDoc%\\aux\\\n", 10, "device");
    ExpectOneError(kMinimal + "just words\n", 10, "key = value");
    ExpectOneError("| orphan\n" + kMinimal, 1, "'|'");
    ExpectOneError(kMinimal + "[file]\ngroup = 2020\n", 10, "missing key 'path'");
    ExpectOneError(kMinimal + "[file]\npath = b.jss\n", 10, "missing key 'group'");
}

TEST(Manifest, PackageLevelFaults) {
    ExpectOneError("[group 1]\n[file]\npath = a\ngroup = 1\n", 0, "[package]");
    ExpectError("[package]\ndate = 0\napplicationName = A\nscriptSetName = S\n"
                "[file]\npath = a\ngroup = 1\n",
                0, "no [group");
    ExpectOneError("[package]\ndate = 0\napplicationName = A\nscriptSetName = S\n[group 1]\n", 0,
                   "no [file]");
    ExpectOneError("[package]\napplicationName = A\nscriptSetName = S\n[group 1]\n"
                   "[file]\npath = a\ngroup = 1\n",
                   1, "missing key 'date'");
    ExpectOneError("date = 1\n" + kMinimal, 1, "outside of any section");
}

TEST(Manifest, DatesAreCheckedAndRoundTrip) {
    int32_t s = 0;
    ASSERT_TRUE(ParsePackageDate("1970-01-01 00:00", s));
    EXPECT_EQ(s, 0);
    ASSERT_TRUE(ParsePackageDate("2038-01-19 03:14", s));
    EXPECT_EQ(FormatPackageDate(s), "2038-01-19 03:14");
    ASSERT_TRUE(ParsePackageDate("-86400", s));
    EXPECT_EQ(FormatPackageDate(s), "1969-12-31 00:00");
    ASSERT_TRUE(ParsePackageDate("2000-02-29 12:05", s));
    EXPECT_EQ(FormatPackageDate(s), "2000-02-29 12:05");
    for (const char* bad :
         {"2001-02-29 00:00", "2024-13-01 00:00", "2024-01-01 24:00", "2024-01-01 10:60",
          "2024-1-01 10:00", "2038-01-19 03:15", "2147483648", "hier", ""}) {
        EXPECT_FALSE(ParsePackageDate(bad, s)) << bad;
    }
}

TEST(Manifest, FlagNamesForListings) {
    EXPECT_EQ(InfoFlagNames(0x2B), "restart, update-button, update-at-start, certified");
    EXPECT_EQ(InfoFlagNames(0x4), "0x4");
    EXPECT_EQ(EntryFlagNames(EntryCompilable | EntryNoCompile), "compilable, no-compile");
}

} // namespace
} // namespace vuni::pack

namespace vuni::pack {
namespace {

// Packages that build but will not work as meant: each warning names the line it concerns,
// in line order; a manifest without such faults has none.
TEST(ManifestWarnings, CatchTheAuthorsCommonMistakesInLineOrder) {
    std::string minimal = kMinimal;
    minimal.replace(minimal.find("alias = notepad"), 15, "alias = ");
    const Parsed clean = Parse(minimal);
    ASSERT_TRUE(clean.ok);
    EXPECT_TRUE(ManifestWarnings(clean.manifest).empty());

    const Parsed p = Parse("[package]\n"                                  // 1
                           "date = 2024-02-29 23:59\n"                    // 2
                           "applicationName = Bloc-notes\n"               // 3
                           "scriptSetName = BN\n"                         // 4
                           "updateLocation = https://example.org/v.ini\n" // 5
                           "[group 2020]\n"                               // 6
                           "alias = notepad\n"                            // 7
                           "[file]\npath = a.jss\ngroup = 2020\n"         // 8-10
                           "flags = compilable\n"                         // 11
                           "destination = %MyDocs%\\x\n"                  // 12
                           "[file]\npath = b.jss\ngroup = 2020\n"         // 13-15
                           "flags = compilable\ncompileOrder = 2\n"       // 16-17
                           "destination = C:\\Windows\n"                  // 18
                           "[file]\npath = c.jss\ngroup = 2020\n"         // 19-21
                           "flags = compilable\ncompileOrder = 2\n"       // 22-23
                           "[file]\npath = m.txt\ngroup = 2020\n"         // 24-26
                           "flags = associable\n"                         // 27
                           "[file]\npath = n.jss\ngroup = 2020\n"         // 28-30
                           "flags = no-compile\n"                         // 31
                           "[file]\npath = r.jsh\ngroup = 2020\n"         // 32-34
                           "destination = Scripts\n");                    // 35
    ASSERT_TRUE(p.ok);
    const std::vector<ManifestError> w = ManifestWarnings(p.manifest);
    const std::vector<std::pair<int, std::string>> expected = {
        {1, "plain HTTP"},
        {6, "installs no 'BN.jss'"},
        {9, "unknown placeholder '%MyDocs%'"},
        {9, "\"0ème\""},
        {14, "absolute destination"},
        {20, "compileOrder 2 of the file at line 14"},
        {25, "no script source"},
        {29, "the flag does nothing"},
        {33, "starts with no placeholder"}};
    ASSERT_EQ(w.size(), expected.size());
    // A new-version check asked for without a place to look.
    std::string noLocation = minimal;
    noLocation.insert(noLocation.find("[group"), "flags = update-button\n");
    const Parsed unlocated = Parse(noLocation);
    ASSERT_TRUE(unlocated.ok);
    const std::vector<ManifestError> one = ManifestWarnings(unlocated.manifest);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].line, 1);
    EXPECT_NE(one[0].message.find("updateLocation is empty"), std::string::npos);
    for (size_t i = 0; i < w.size(); ++i) {
        EXPECT_EQ(w[i].line, expected[i].first) << w[i].message;
        EXPECT_NE(w[i].message.find(expected[i].second), std::string::npos) << w[i].message;
    }
}

} // namespace
} // namespace vuni::pack
