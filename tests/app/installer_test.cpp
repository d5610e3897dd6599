// The program's start-up and end over the simulated Windows and the headless window: what
// the log says first, the intro sound's wait, and the fatal creation failures.
#include "headless/headless_window.h"
#include "app/installer.h"
#include "platform/sim/sim_machine.h"
#include "testing/package_builder.h"
#include "testing/shared_dir.h"
#include "testing/temp_dir.h"
#include "wizard/controls.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace vuni {
namespace {

constexpr const char* kProgram = "C:\\Users\\alice\\Downloads\\vuni.exe";

// The jaws11 machine in a sandbox, with the program file at its place.
struct World {
    testing::TempDir dir;
    SimHost host{dir.Path()};
    HeadlessWindow window;

    explicit World(const testing::TestPackage& package = testing::SamplePackage()) {
        std::string error;
        EXPECT_TRUE(
            LoadMachine(host, testing::SourceDir() / "tests" / "machines" / "jaws11", error))
            << error;
        host.SetVirtualSleep(true);
        host.SetNetworkAvailable(false);
        testing::WriteHostFile(host.ToHostPath(kProgram), testing::BuildInstallerBytes(package));
    }
    const std::deque<std::string>& Log() { return window.Headless().LogLines().Lines(); }
    size_t LogIndex(const std::string& line) {
        const auto it = std::find(Log().begin(), Log().end(), line);
        return static_cast<size_t>(it - Log().begin());
    }
};

TEST(InstallerStart, LogsBannerLanguageCreationAndVersionsInOrderAndMarksTheRunningJaws) {
    World w;
    Installer installer(w.host, w.window);
    ASSERT_EQ(installer.Start(), StartOutcome::Running);

    ASSERT_GE(w.Log().size(), 6u);
    EXPECT_EQ(w.Log()[0], std::string("Vuni ") + kProgramVersion);
    EXPECT_EQ(w.Log()[1], "By the Vuni developers");
    EXPECT_EQ(w.Log()[2], "");
    EXPECT_EQ(w.Log()[3], std::string("Main Exe in Use : ") + kProgram);
    // The machine's language is "FRA": it is lower-cased.
    EXPECT_EQ(w.Log()[4], "Lang of Windows = fra");
    EXPECT_EQ(installer.State().windowsLanguage, "fra");
    EXPECT_EQ(w.Log()[5], "");

    const size_t created = w.LogIndex("* Created on vunipack the 14/11/2023");
    const size_t enumerate = w.LogIndex("* Enumerate Jaws Version installed : ");
    const size_t user =
        w.LogIndex("Mes paramètres de jaws 11.0 en fonctionnement with lang=enu|fra|");
    EXPECT_LT(created, enumerate);
    EXPECT_LT(enumerate, user);
    EXPECT_LT(user, w.Log().size());

    // Both the user and the shared entries of the running version are marked; the free
    // folder is not.
    int marked = 0;
    for (const SettingsFolder& f : installer.State().folders) {
        const bool running = f.label.ends_with(" en fonctionnement");
        EXPECT_EQ(running, f.majorVersion == 11) << f.label;
        EXPECT_EQ(f.running, running) << f.label;
        marked += running ? 1 : 0;
    }
    EXPECT_EQ(marked, 2);
    EXPECT_EQ(installer.State().runningJawsVersion, "11");

    EXPECT_TRUE(w.window.Shown());
    EXPECT_EQ(w.window.TitleWhenShown(), "Vuni pour MonAppli");
    EXPECT_EQ(w.host.OwnedMutex(), "Vuni");
    installer.RunEventLoop(); // no driver: the window is closed at once
    EXPECT_EQ(w.host.OwnedMutex(), "");
}

// A WAV of size bytes whose header gives byteRate.
std::string Wav(size_t size, uint32_t byteRate) {
    std::string wav = "RIFF";
    wav.resize(size, '\0');
    for (int i = 0; i < 4; ++i) {
        wav[28 + i] = static_cast<char>(byteRate >> (8 * i));
    }
    return wav;
}

testing::TestPackage WithIntro(const std::string& wav) {
    testing::TestPackage p = testing::SamplePackage();
    testing::TestFile intro;
    intro.sourceName = "intro.wav";
    intro.groupIndex = kIntroSoundGroup;
    intro.compileOrder = 0;
    intro.content = wav;
    p.files.insert(p.files.begin(), intro);
    return p;
}

TEST(InstallerStart, WaitsForTheIntroSoundByItsByteRateOrHalfASecond) {
    struct Case {
        std::string wav;
        bool sound;
        std::vector<uint32_t> sleeps;
    };
    const Case cases[] = {
        {Wav(88200, 44100), true, {2000}},
        {Wav(88200, 0), true, {500}},
        {Wav(88200, 44100), false, {}}, // no sound output: nothing is played, no wait
    };
    for (const Case& c : cases) {
        World w(WithIntro(c.wav));
        w.host.SetSoundAvailable(c.sound);
        Installer installer(w.host, w.window);
        ASSERT_EQ(installer.Start(), StartOutcome::Running);
        EXPECT_EQ(w.host.Sleeps(), c.sleeps);
        ASSERT_EQ(w.host.PlayedSounds().size(), c.sound ? 1u : 0u);
        if (c.sound) {
            EXPECT_EQ(w.host.PlayedSounds()[0], c.wav);
        }
    }
}

TEST(InstallerStart, EachCreationFailureEndsWithItsErrorBoxAndNoWindow) {
    for (CreationFailure failure : {CreationFailure::MainWindow, CreationFailure::Control,
                                    CreationFailure::StatusBar, CreationFailure::ContextMenu}) {
        World w;
        w.window.FailCreation(failure);
        EXPECT_EQ(RunInstaller(w.host, w.window), 0);
        const auto& messages = w.window.Headless().Messages();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].title, "Erreur");
        EXPECT_EQ(messages[0].text, CreationFailureText(failure));
        EXPECT_EQ(messages[0].kind, MessageKind::Error);
        EXPECT_FALSE(w.window.Shown());
        // Only a window that was made is destroyed; the mutex is given back either way.
        EXPECT_EQ(w.window.Destroyed(), w.window.Created());
        EXPECT_EQ(w.host.OwnedMutex(), "");
    }
}

TEST(InstallerRun, TheCancelButtonEndsTheLoopAndTheProgramExitsWithZero) {
    World w;
    int turns = 0;
    w.window.SetDriver([&turns](HeadlessView& view) {
        ++turns;
        view.Press(ctl::kCancelButton);
        return true;
    });
    EXPECT_EQ(RunInstaller(w.host, w.window), 0);
    EXPECT_EQ(turns, 1);
    EXPECT_TRUE(w.window.Destroyed());
    EXPECT_EQ(w.host.OwnedMutex(), "");
}

} // namespace
} // namespace vuni
