#include "operations/compile_scripts.h"
#include "ops_world.h"

#include <gtest/gtest.h>

namespace vuni {
namespace {

using testing::kInstallPath;
using testing::kScriptPath;

testing::TestFile Source(std::string name, int32_t order, int32_t flags,
                         std::string destination = "%JawsScriptPath%\\") {
    testing::TestFile f;
    f.sourceName = std::move(name);
    f.compileOrder = order;
    f.flags = flags;
    f.destination = std::move(destination);
    f.content = "exit=0\r\n";
    return f;
}

class Compile : public ::testing::Test {
protected:
    void Use(std::vector<testing::TestFile> files) {
        testing::TestPackage p = testing::SamplePackage();
        p.files = std::move(files);
        w.Load(p);
        for (const testing::TestFile& f : p.files) {
            w.Put(testing::TestExpandPlaceholders(f.destination, kScriptPath) + f.sourceName,
                  f.content);
        }
        w.PlaceProgram(kInstallPath + "scompile.exe");
    }
    std::string HostOf(const std::string& windowsPath) { return w.Host(windowsPath).string(); }
    // The compiled sources, in order, from the stand-in's record.
    std::vector<std::string> Compiled() {
        std::vector<std::string> out;
        for (const std::string& run : w.Runs()) {
            out.push_back(run.substr(run.rfind('|') + 1));
        }
        return out;
    }
    testing::OpsWorld w;
};

TEST_F(Compile, SourcesRunInCompileOrderHiddenInTheirFolderWithQuotedPaths) {
    Use({Source("Two.jss", 2, EntryCompilable), Source("One.jss", 1, EntryCompilable),
         Source("Sub.jss", 3, EntryCompilable, "%JawsScriptPath%\\Sub Dir\\")});
    EXPECT_TRUE(CompileScripts(w.ctx, false));
    const std::string one = kScriptPath + "One.jss";
    EXPECT_EQ(Compiled(), (std::vector<std::string>{HostOf(one), HostOf(kScriptPath + "Two.jss"),
                                                    HostOf(kScriptPath + "Sub Dir\\Sub.jss")}));
    EXPECT_EQ(w.Get(kScriptPath + "One.jsb"), "compiled\n");
    const auto& starts = w.host.ProcessStarts();
    ASSERT_EQ(starts.size(), 3u);
    EXPECT_EQ(starts[0].program, kInstallPath + "scompile.exe");
    EXPECT_EQ(starts[0].commandLine, "\"" + kInstallPath + "scompile.exe\" \"" + one + "\"");
    EXPECT_EQ(starts[0].workingFolder, kScriptPath);
    EXPECT_TRUE(starts[0].hidden);
    EXPECT_EQ(w.Runs()[2].substr(0, w.Runs()[2].rfind('|')),
              "scompile.exe|" + HostOf(kScriptPath + "Sub Dir"));
    EXPECT_EQ(w.Progress(), "\n* Compilation de fichier JSS\n"
                            "- Script One.jss\n Compilation effectuée avec succés !\n"
                            "- Script Two.jss\n Compilation effectuée avec succés !\n"
                            "- Script Sub.jss\n Compilation effectuée avec succés !\n");
    const std::string log = w.InstallLog();
    EXPECT_NE(log.find("* Search file to compile\n* Script to compile \n - JCompil = " +
                       kInstallPath + "scompile.exe\n - File = " + one + "\n Id scompile.exe = "),
              std::string::npos);
}

TEST_F(Compile, RefusedOrUncheckedFilesAreListedNotCompiledAndNotFailures) {
    Use({Source("A.jss", 1, EntryCompilable), Source("B.jss", 2, EntryCompilable | EntryNoCompile),
         Source("C.jss", 3, EntryCompilable)});
    w.UncheckRow("C.jss");
    EXPECT_TRUE(CompileScripts(w.ctx, false));
    EXPECT_EQ(Compiled(), std::vector<std::string>{HostOf(kScriptPath + "A.jss")});
    EXPECT_NE(w.Progress().find("- Script B.jss\n Désélectionnée par l'utilisateur\n"
                                "- Script C.jss\n Désélectionnée par l'utilisateur\n"),
              std::string::npos);
}

TEST_F(Compile, ANonZeroExitOrAMissingSourceFailsThatFileAndTheOthersGoOn) {
    Use({Source("Bad.jss", 1, EntryCompilable), Source("Gone.jss", 2, EntryCompilable),
         Source("Good.jss", 3, EntryCompilable)});
    w.Put(kScriptPath + "Bad.jss", "exit=3");
    std::filesystem::remove(w.Host(kScriptPath + "Gone.jss"));
    EXPECT_FALSE(CompileScripts(w.ctx, false));
    EXPECT_EQ(w.Progress(), "\n* Compilation de fichier JSS\n"
                            "- Script Bad.jss\n! La compilation a échouée\n"
                            "- Script Gone.jss\n! Le fichier est inaccéssible\n"
                            "- Script Good.jss\n Compilation effectuée avec succés !\n");
    EXPECT_NE(w.InstallLog().find(" ExitCode = 3\n"), std::string::npos);
}

TEST_F(Compile, NothingToCompileSucceedsSilently) {
    Use({Source("Doc.txt", 1, 0), Source("Other.jss", 1, EntryCompilable)});
    w.package.entries[1].groupIndex = 1;
    EXPECT_TRUE(CompileScripts(w.ctx, false));
    EXPECT_TRUE(CompileScripts(w.ctx, true));
    EXPECT_EQ(w.Progress(), "");
    EXPECT_TRUE(w.Runs().empty());
}

TEST_F(Compile, MergeFilesCompileTheDefaultScriptOfTheirFolder) {
    Use({Source("Own.jss", 1, EntryCompilable | EntryAssociable),
         Source("Merge.jsm", 2, EntryAssociable, "%JawsScriptPath%\\M\\"),
         Source("Plain.jss", 3, EntryCompilable)});
    w.Put(kScriptPath + "M\\Default.Jss", "exit=0");
    w.Put(kScriptPath + "Default.Jss", "exit=0");
    EXPECT_TRUE(CompileScripts(w.ctx, false));
    EXPECT_EQ(Compiled(), (std::vector<std::string>{HostOf(kScriptPath + "Own.jss"),
                                                    HostOf(kScriptPath + "M\\Default.Jss"),
                                                    HostOf(kScriptPath + "Plain.jss")}));
    std::filesystem::remove(w.dir.Path() / "runs.log");
    w.progress.Clear();
    // Removal: no source at all, one Default.Jss per merge file.
    EXPECT_TRUE(CompileScripts(w.ctx, true));
    EXPECT_EQ(Compiled(), (std::vector<std::string>{HostOf(kScriptPath + "Default.Jss"),
                                                    HostOf(kScriptPath + "M\\Default.Jss")}));
    EXPECT_NE(w.Progress().find("- Script Default.Jss\n"), std::string::npos);
}

TEST_F(Compile, AssociationRefusedSkipsTheDefaultScript) {
    Use({Source("Merge.jsm", 1, EntryAssociable | EntryNoAssociation)});
    EXPECT_TRUE(CompileScripts(w.ctx, true));
    EXPECT_EQ(w.Progress(), "\n* Compilation de fichier JSS\n"
                            "- Script Default.Jss\n Désélectionnée par l'utilisateur\n");
}

TEST_F(Compile, WithoutACompilerEverySelectedFileFails) {
    Use({Source("A.jss", 1, EntryCompilable), Source("B.jss", 2, EntryCompilable)});
    w.folder.installPath.clear(); // the free folder knows no screen-reader version
    EXPECT_EQ(CompilerPath(w.ctx), "scompile.exe");
    EXPECT_FALSE(CompileScripts(w.ctx, false));
    EXPECT_EQ(w.Progress(), "\n* Compilation de fichier JSS\n"
                            "- Script A.jss\n! La compilation a échouée\n"
                            "- Script B.jss\n! La compilation a échouée\n");
    EXPECT_NE(w.InstallLog().find(" - JCompil = scompile.exe\n! Error, file not found\n"),
              std::string::npos);
    EXPECT_TRUE(w.host.ProcessStarts().empty());
}

TEST_F(Compile, ACompilerThatRunsTooLongFailsAndIsLeftRunning) {
    Use({Source("Slow.jss", 1, EntryCompilable)});
    w.Put(kScriptPath + "Slow.jss", "sleep=5000");
    w.ctx.processTimeoutMs = 150;
    EXPECT_FALSE(CompileScript(w.ctx, kScriptPath + "Slow.jss"));
    const std::string log = w.InstallLog();
    EXPECT_EQ(log.find("ExitCode"), std::string::npos);
    EXPECT_EQ(w.install.Lines().back().rfind(" Id scompile.exe = ", 0), 0u);
    const auto& running = w.host.StartedProcesses();
    ASSERT_EQ(running.size(), 1u);
    EXPECT_EQ(running[0].exeFile, kInstallPath + "scompile.exe");
}

} // namespace
} // namespace vuni
