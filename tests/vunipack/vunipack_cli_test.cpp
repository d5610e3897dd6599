// vunipack as its users run it: the built program, its exit codes, output and files.
#include "package/package_types.h"
#include "testing/package_builder.h"
#include "testing/shared_dir.h"
#include "testing/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace vuni {
namespace {

namespace fs = std::filesystem;
using testing::ReadHostFile;
using testing::WriteHostFile;

struct RunResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

class VunipackCli : public ::testing::Test {
protected:
    RunResult Run(const std::vector<std::string>& args) {
        std::string command = VUNIPACK_PATH;
        for (const std::string& a : args) {
            command += " '" + a + "'";
        }
        const fs::path out = dir.Path() / "stdout.txt";
        const fs::path err = dir.Path() / "stderr.txt";
        command += " >'" + out.string() + "' 2>'" + err.string() + "'";
        RunResult r;
        const int status = std::system(command.c_str());
        r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.out = ReadHostFile(out);
        r.err = ReadHostFile(err);
        return r;
    }

    fs::path P(const std::string& name) const { return dir.Path() / name; }

    // A script set with an accented file name, two groups, an intro sound and the stub.
    void WriteScriptSet() {
        WriteHostFile(P("set/stub.exe"), stub);
        WriteHostFile(P("set/scripts/Bloc.jss"), jss);
        WriteHostFile(P("set/scripts/\xC3\xA9l\xC3\xA8ve.jsm"), jsm); // "élève.jsm" in UTF-8
        WriteHostFile(P("set/intro.wav"), wav);
        WriteHostFile(P("set/empty.txt"), "");
        WriteHostFile(P("set/m.ini"), manifest);
    }

    testing::TempDir dir;
    const std::string stub = std::string("MZ\x90\0\x03 stub image\n\0\0", 19);
    const std::string jss = "Script Bonjour ()\r\n  SayString (\"Salut\")\r\nEndScript\r\n";
    const std::string jsm = "Messages\r\n@msgA\r\nÉlève\r\n@@\r\nEndMessages\r\n";
    const std::string wav = std::string("RIFF\x24\0\0\0WAVEfmt ", 16) + std::string(40, '\x80');
    const std::string manifest = "[package]\n"
                                 "date = 2026-12-08 10:30\n"
                                 "applicationName = Bloc-notes\n"
                                 "scriptSetName = BN\n"
                                 "author = \xC3\x89lise \"la\" Auteur\n" // "Élise"
                                 "comments = un \\ deux\n"
                                 " | trois\n"
                                 "flags = certified\n"
                                 "[group 2020]\n"
                                 "alias = notepad\n"
                                 "[group 2024]\n"
                                 "[intro]\n"
                                 "path = intro.wav\n"
                                 "[file]\n"
                                 "path = scripts/Bloc.jss\n"
                                 "group = 2020\n"
                                 "compileOrder = 1\n"
                                 "flags = compilable\n"
                                 "[file]\n"
                                 "path = scripts/\xC3\xA9l\xC3\xA8ve.jsm\n"
                                 "group = 2024\n"
                                 "[file]\n"
                                 "path = empty.txt\n"
                                 "group = 2024\n"
                                 "flags = optional\n";
};

TEST_F(VunipackCli, BuildListExtractVerifyRoundTrip) {
    WriteScriptSet();
    const RunResult b = Run({"build", P("set/m.ini").string(), "-o", P("out/Setup.exe").string(),
                             "--stub", P("set/stub.exe").string()});
    // The output folder does not exist: nothing can be written there.
    EXPECT_EQ(b.exitCode, 1) << b.err;
    fs::create_directories(P("out"));
    const RunResult built =
        Run({"build", P("set/m.ini").string(), "-o", P("out/Setup.exe").string(), "--stub",
             P("set/stub.exe").string()});
    ASSERT_EQ(built.exitCode, 0) << built.err;
    // The report: a line per file with its sizes, the totals, the summary.
    EXPECT_NE(built.out.find("  2020  Bloc.jss -> %JawsScriptPath%\\  " +
                             std::to_string(jss.size()) + " -> "),
              std::string::npos)
        << built.out;
    EXPECT_NE(built.out.find("  total  "), std::string::npos) << built.out;
    EXPECT_NE(built.err.find("warning: the installer stub"), std::string::npos) << built.err;
    const RunResult json = Run({"build", P("set/m.ini").string(), "-o", P("out/J.exe").string(),
                                "--stub", P("set/stub.exe").string(), "--json"});
    EXPECT_NE(json.out.find("\"name\": \"Bloc.jss\",\n      \"group\": \"2020\""),
              std::string::npos)
        << json.out;
    EXPECT_EQ(json.out.find("vunipack: wrote"), std::string::npos);
    const std::string setup = ReadHostFile(P("out/Setup.exe"));
    EXPECT_EQ(setup.compare(0, stub.size(), stub), 0) << "the stub comes first, unchanged";
    EXPECT_FALSE(fs::exists(P("out/Setup.exe.vuni-new")));

    const RunResult list = Run({"list", P("out/Setup.exe").string()});
    ASSERT_EQ(list.exitCode, 0) << list.err;
    EXPECT_NE(list.out.find("Bloc-notes"), std::string::npos);
    EXPECT_NE(list.out.find("\xC3\xA9l\xC3\xA8ve.jsm"), std::string::npos) << "UTF-8 on Linux";
    EXPECT_NE(list.out.find("2026-12-08 10:30"), std::string::npos);

    const RunResult x =
        Run({"extract", P("out/Setup.exe").string(), "--all", "-C", P("x").string()});
    ASSERT_EQ(x.exitCode, 0) << x.err;
    EXPECT_EQ(ReadHostFile(P("x/intro.wav")), wav);
    EXPECT_EQ(ReadHostFile(P("x/2020/Bloc.jss")), jss);
    EXPECT_EQ(ReadHostFile(P("x/2024/\xC3\xA9l\xC3\xA8ve.jsm")), jsm);
    EXPECT_TRUE(fs::exists(P("x/2024/empty.txt")));
    EXPECT_EQ(fs::file_size(P("x/2024/empty.txt")), 0u);

    const RunResult one =
        Run({"extract", P("out/Setup.exe").string(), "--entry", "1", "-C", P("y/z").string()});
    ASSERT_EQ(one.exitCode, 0) << one.err;
    EXPECT_EQ(ReadHostFile(P("y/z/Bloc.jss")), jss);
    EXPECT_EQ(Run({"extract", P("out/Setup.exe").string(), "--entry", "4", "-C", P("y").string()})
                  .exitCode,
              1);

    const RunResult v = Run({"verify", P("out/Setup.exe").string()});
    EXPECT_EQ(v.exitCode, 0) << v.err;
    EXPECT_NE(v.out.find("all sound, integrity seal matches"), std::string::npos) << v.out;
    EXPECT_NE(v.out.find(": not signed\n"), std::string::npos) << v.out;
    // The manifest says "certified": without a signature, the author is warned.
    EXPECT_NE(v.err.find("certified, but the installer carries no Authenticode"), std::string::npos)
        << v.err;
    // One bit of the last stored file flipped: the seal tells, though the file itself
    // carries no checksum.
    std::string flipped = ReadHostFile(P("out/Setup.exe"));
    flipped[flipped.size() - 2] = static_cast<char>(flipped[flipped.size() - 2] ^ 0x04);
    WriteHostFile(P("out/Flipped.exe"), flipped);
    const RunResult f = Run({"verify", P("out/Flipped.exe").string()});
    EXPECT_EQ(f.exitCode, 1);
    EXPECT_NE(f.err.find("integrity seal does not match"), std::string::npos) << f.err;
}

TEST_F(VunipackCli, JsonHoldsEveryFieldInUtf8AndEscaped) {
    WriteScriptSet();
    ASSERT_EQ(Run({"build", P("set/m.ini").string(), "-o", P("Setup.exe").string(), "--stub",
                   P("set/stub.exe").string()})
                  .exitCode,
              0);
    const RunResult r = Run({"list", P("Setup.exe").string(), "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    for (const char* key : {"\"date\": 1796725800",
                            "\"applicationName\": \"Bloc-notes\"",
                            "\"applicationVersion\"",
                            "\"recommendedCompanion\"",
                            "\"recommendedJawsVersion\"",
                            "\"scriptSetName\": \"BN\"",
                            "\"scriptSetVersion\"",
                            "\"contact\"",
                            "\"authorSite\"",
                            "\"applicationSite\"",
                            "\"creationText\"",
                            "\"updateLocation\"",
                            "\"flags\": 32",
                            "\"reservedA\"",
                            "\"reservedB\"",
                            "\"groups\"",
                            "\"name\": \"2024\"",
                            "\"alias\": \"notepad\"",
                            "\"source\": \"Bloc.jss\"",
                            "\"destination\": \"%JawsScriptPath%\\\\\"",
                            "\"group\": -2",
                            "\"compileOrder\": 1",
                            "\"flags\": 4",
                            "\"dataOffset\": "}) {
        EXPECT_NE(r.out.find(key), std::string::npos) << key << "\n" << r.out;
    }
    const std::string size = std::to_string(jss.size());
    EXPECT_NE(r.out.find("\"plainSize\": " + size + ",\n      \"storedSize\": " + size),
              std::string::npos);
    EXPECT_NE(r.out.find("\"author\": \"\xC3\x89lise \\\"la\\\" Auteur\""), std::string::npos);
    EXPECT_NE(r.out.find("\"comments\": \"un \\\\ deux\\r\\ntrois\""), std::string::npos);
    EXPECT_NE(r.out.find("\"source\": \"\xC3\xA9l\xC3\xA8ve.jsm\""), std::string::npos);
}

// A script saved as UTF-8 is named with its first line beyond ASCII; --convert-utf8 puts it
// into the package as Windows-1252, and refuses a character that encoding cannot hold.
TEST_F(VunipackCli, Utf8ScriptsAreWarnedAboutOrConverted) {
    WriteScriptSet();
    WriteHostFile(P("set/scripts/Bloc.jss"),
                  "Script A ()\r\n  SayString (\"r\xC3\xA9sultat\")\r\n");
    const RunResult warned = Run({"build", P("set/m.ini").string(), "-o", P("W.exe").string(),
                                  "--stub", P("set/stub.exe").string()});
    EXPECT_EQ(warned.exitCode, 0) << warned.err;
    EXPECT_NE(warned.err.find("warning: 'Bloc.jss' looks saved as UTF-8 (line 2)"),
              std::string::npos)
        << warned.err;
    const RunResult converted = Run({"build", P("set/m.ini").string(), "-o", P("C.exe").string(),
                                     "--stub", P("set/stub.exe").string(), "--convert-utf8"});
    ASSERT_EQ(converted.exitCode, 0) << converted.err;
    EXPECT_EQ(converted.err.find("UTF-8"), std::string::npos) << converted.err;
    ASSERT_EQ(Run({"extract", P("C.exe").string(), "--all", "-C", P("c").string()}).exitCode, 0);
    EXPECT_EQ(ReadHostFile(P("c/2020/Bloc.jss")),
              "Script A ()\r\n  SayString (\"r\xE9sultat\")\r\n");

    WriteHostFile(P("set/scripts/Bloc.jss"), "SayString (\"\xC5\x82\")\r\n");
    const RunResult refused = Run({"build", P("set/m.ini").string(), "-o", P("R.exe").string(),
                                   "--stub", P("set/stub.exe").string(), "--convert-utf8"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_FALSE(fs::exists(P("R.exe")));
}

TEST_F(VunipackCli, ManifestFaultsNameFileAndLineAndWriteNothing) {
    struct Fault {
        std::string edit; // appended to the manifest
        std::string where;
        std::string what;
    };
    const std::vector<Fault> faults = {
        {"colour = blue\n", ":26:", "unknown key"},
        {"compileOrder = douze\n", ":26:", "compileOrder"},
        {"path = autre.txt\n", ":26:", "duplicate key"},
        {"[file]\npath = intro.wav\ngroup = 2030\n", ":28:", "unknown group"},
        {"[file]\npath = absent.jss\ngroup = 2020\n", ":27:", "cannot read file 'absent.jss'"},
        {"[group 2020]\n", ":26:", "duplicate group"},
        {"[group \xC5\x81]\n", ":26:", "Windows-1252"},
    };
    for (const Fault& f : faults) {
        WriteScriptSet();
        WriteHostFile(P("set/m.ini"), manifest + f.edit);
        WriteHostFile(P("Setup.exe"), "old installer");
        const RunResult r = Run({"build", P("set/m.ini").string(), "-o", P("Setup.exe").string(),
                                 "--stub", P("set/stub.exe").string()});
        EXPECT_EQ(r.exitCode, 1) << f.edit;
        EXPECT_NE(r.err.find(P("set/m.ini").string() + f.where), std::string::npos)
            << f.edit << r.err;
        EXPECT_NE(r.err.find(f.what), std::string::npos) << f.edit << r.err;
        EXPECT_EQ(ReadHostFile(P("Setup.exe")), "old installer") << f.edit;
        EXPECT_FALSE(fs::exists(P("Setup.exe.vuni-new")));
    }
}

TEST_F(VunipackCli, StubsThatCannotCarryAPackage) {
    WriteScriptSet();
    // No --stub, and no vuni.exe beside vunipack.
    RunResult r = Run({"build", P("set/m.ini").string(), "-o", P("Setup.exe").string()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("vuni.exe"), std::string::npos) << r.err;
    // An installer as the stub: its marker line would hide the new package.
    ASSERT_EQ(Run({"build", P("set/m.ini").string(), "-o", P("First.exe").string(), "--stub",
                   P("set/stub.exe").string()})
                  .exitCode,
              0);
    r = Run({"build", P("set/m.ini").string(), "-o", P("Setup.exe").string(), "--stub",
             P("First.exe").string()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("marker"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(P("Setup.exe")));
}

TEST_F(VunipackCli, VerifyReportsEachDamagedEntry) {
    testing::TestPackage p = testing::SamplePackage();
    p.files[0].useOverride = true;
    p.files[0].storedOverride = "JC\x10garbage that is no stream";
    testing::TestFile bad = p.files[1];
    bad.useOverride = true;
    bad.storedOverride = "xx";
    p.files.push_back(bad);
    WriteHostFile(P("Damaged.exe"), testing::BuildInstallerBytes(p));
    const RunResult r = Run({"verify", P("Damaged.exe").string()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("entry 0 (MonAppli.jss) is damaged"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("entry 1 "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("entry 2 (MonAppli.jsm) is damaged"), std::string::npos) << r.err;

    // A truncated installer is refused as a whole by every command.
    const std::string whole = testing::BuildInstallerBytes(testing::SamplePackage());
    WriteHostFile(P("Cut.exe"), whole.substr(0, whole.size() - 3));
    for (const char* command : {"verify", "list"}) {
        const RunResult cut = Run({command, P("Cut.exe").string()});
        EXPECT_EQ(cut.exitCode, 1) << command;
        EXPECT_NE(cut.err.find("not a sound installer"), std::string::npos) << cut.err;
    }
    EXPECT_EQ(Run({"list", P("none.exe").string()}).exitCode, 1);
}

TEST_F(VunipackCli, ExtractKeepsUntrustedNamesInsideTheFolder) {
    testing::TestPackage p = testing::SamplePackage();
    p.groups[0].name = "..\\..";
    p.files[0].sourceName = "..\\..\\evil.jss";
    p.files[1].sourceName = "a/../../b:c.jsm";
    WriteHostFile(P("Setup.exe"), testing::BuildInstallerBytes(p));
    const RunResult r = Run({"extract", P("Setup.exe").string(), "--all", "-C", P("x").string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(fs::exists(P("x/group/evil.jss"))) << r.out;
    EXPECT_TRUE(fs::exists(P("x/group/b_c.jsm"))) << r.out;
    EXPECT_FALSE(fs::exists(P("evil.jss")));
}

TEST_F(VunipackCli, UsageErrorsExitWithTwoAndHelpWithZero) {
    EXPECT_EQ(Run({}).exitCode, 2);
    EXPECT_EQ(Run({"pack"}).exitCode, 2);
    EXPECT_EQ(Run({"build", "m.ini"}).exitCode, 2) << "no -o";
    EXPECT_EQ(Run({"build", "m.ini", "-o", "x.exe", "--level", "0"}).exitCode, 2);
    EXPECT_EQ(Run({"build", "m.ini", "-o"}).exitCode, 2);
    EXPECT_EQ(Run({"list", "a.exe", "--colour"}).exitCode, 2);
    EXPECT_EQ(Run({"extract", "a.exe", "--all"}).exitCode, 2) << "no -C";
    EXPECT_EQ(Run({"extract", "a.exe", "--all", "--entry", "1", "-C", "d"}).exitCode, 2);
    EXPECT_EQ(Run({"extract", "a.exe", "--entry", "x", "-C", "d"}).exitCode, 2);
    EXPECT_EQ(Run({"verify"}).exitCode, 2);
    const RunResult top = Run({"--help"});
    EXPECT_EQ(top.exitCode, 0);
    for (const char* command : {"build", "list", "extract", "verify"}) {
        EXPECT_NE(top.out.find(command), std::string::npos);
        const RunResult h = Run({command, "--help"});
        EXPECT_EQ(h.exitCode, 0) << command;
        EXPECT_NE(h.out.find(std::string("Usage: vunipack ") + command), std::string::npos);
    }
}

// Output that cannot be written (here to a full device) is lost: the run must not say success.
TEST_F(VunipackCli, OutputThatCannotBeWrittenFailsTheRun) {
    if (!fs::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full";
    }
    WriteScriptSet();
    ASSERT_EQ(Run({"build", P("set/m.ini").string(), "-o", P("a.exe").string(), "--stub",
                   P("set/stub.exe").string()})
                  .exitCode,
              0);
    const std::string err = P("err.txt").string();
    for (const std::string& args : {std::string("--help"), "list '" + P("a.exe").string() + "'"}) {
        const std::string command =
            std::string(VUNIPACK_PATH) + " " + args + " >/dev/full 2>'" + err + "'";
        const int status = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(status)) << args;
        EXPECT_EQ(WEXITSTATUS(status), 1) << args;
        EXPECT_NE(ReadHostFile(err).find("cannot write the output"), std::string::npos) << args;
    }
}

} // namespace
} // namespace vuni
