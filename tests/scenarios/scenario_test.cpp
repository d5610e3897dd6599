// The scenario reader of vuni-sim: how lines become words and which lines are refused
// before anything is played.
#include "player.h"
#include "scenario.h"
#include "testing/package_builder.h"
#include "testing/shared_dir.h"
#include "testing/temp_dir.h"

#include <gtest/gtest.h>
#include <sstream>

namespace vuni::sim {
namespace {

std::vector<std::string> Words(std::string_view line) {
    std::vector<std::string> words;
    std::string error;
    EXPECT_TRUE(SplitWords(line, words, error)) << error;
    return words;
}

TEST(ScenarioWords, QuotesDoubledQuotesAndLiteralBackslashes) {
    EXPECT_EQ(Words("  press\t2  "), (std::vector<std::string>{"press", "2"}));
    EXPECT_EQ(Words(R"(expect message "Info" "a ""b""\nc")"),
              (std::vector<std::string>{"expect", "message", "Info", "a \"b\"\\nc"}));
    EXPECT_EQ(Words(R"(folder C:\Users\n\x "")"),
              (std::vector<std::string>{"folder", "C:\\Users\\n\\x", ""}));

    std::vector<std::string> words;
    std::string error;
    EXPECT_FALSE(SplitWords(R"(title "open)", words, error));
    EXPECT_FALSE(SplitWords(R"(title "a"b)", words, error));
}

TEST(ScenarioRead, SkipsCommentsConvertsToWindows1252AndNumbersLines) {
    std::vector<ScenarioLine> lines;
    std::string error;
    ASSERT_TRUE(
        ReadScenario("\xEF\xBB\xBF# comment\r\n\r\nmachine jaws11\n  expect title \"Voil\xC3\xA0\"",
                     lines, error))
        << error;
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].number, 3);
    EXPECT_EQ(lines[1].number, 4);
    EXPECT_EQ(lines[1].words[2], "Voil\xE0");
    EXPECT_EQ(lines[1].text, "expect title \"Voil\xC3\xA0\"");
    EXPECT_FALSE(ReadScenario("title \"\xCE\xA9\"\n", lines, error)); // omega: not in 1252
}

bool Accepted(std::string_view text, std::string* error = nullptr) {
    std::vector<ScenarioLine> lines;
    std::string e;
    const bool ok = ReadScenario(text, lines, e) && CheckScenario(lines, e);
    if (error != nullptr) {
        *error = e;
    }
    return ok;
}

TEST(ScenarioCheck, RefusesWhatNoPersonOrWindowCanDo) {
    EXPECT_TRUE(Accepted("machine m\nanswer Yes Info\nstart\nkey Alt+F1\nkey shift+tab\n"
                         "press 74\nchoose 73 x\ntype 91 y\nexpect items 65\nexpect rows\n"
                         "menu none\nidle 3\nexpect exited\n"));
    std::string error;
    EXPECT_FALSE(Accepted("machine m\nstart\nfrobnicate\n", &error));
    EXPECT_NE(error.find("line 3"), std::string::npos) << error;
    EXPECT_FALSE(Accepted("machine m\nstart\nmachine n\n")); // setup after start
    EXPECT_FALSE(Accepted("machine m\npress 2\nstart\n"));   // window action before start
    EXPECT_FALSE(Accepted("start\nstart\n"));                // two starts
    EXPECT_FALSE(Accepted("start\npress 7\n"));              // a static is not pressed
    EXPECT_FALSE(Accepted("start\ntype 69 C:\\x\n"));        // read-only field
    EXPECT_FALSE(Accepted("start\nchoose 2 x\n"));           // not a drop-down
    EXPECT_FALSE(Accepted("start\npress 999\n"));            // no such control
    EXPECT_FALSE(Accepted("start\nkey Alt+X\n"));            // no such shortcut
    EXPECT_FALSE(Accepted("start\nidle 0\n"));
    EXPECT_FALSE(Accepted("start\nmenu 129\n"));
    EXPECT_FALSE(Accepted("start\nexpect page 2\n"));               // a button is no page
    EXPECT_FALSE(Accepted("start\nexpect window-restored Vuni\n")); // no such window set up
    EXPECT_FALSE(Accepted("start\nexpect text 2\n"));               // argument missing
    EXPECT_FALSE(Accepted("start\nexpect focus-order 81 x\n"));     // every one a control
    // Nothing after wine-only is looked at here.
    EXPECT_TRUE(Accepted("start\nwine-only\nfrobnicate\n"));
}

TEST(ScenarioCheck, LineBreaksInQuotedTextsButNeverInPaths) {
    std::vector<ScenarioLine> lines;
    std::string error;
    ASSERT_TRUE(ReadScenario("start\nexpect message \"A\\nB\" C\\nD\n"
                             "expect file-text \"C:\\x\\new\" \"1\\n2\"\n",
                             lines, error));
    ASSERT_TRUE(CheckScenario(lines, error)) << error;
    EXPECT_EQ(lines[1].words[2], "A\nB");
    EXPECT_EQ(lines[1].words[3], "C\\nD"); // unquoted: as written
    EXPECT_EQ(lines[2].words[2], "C:\\x\\new");
    EXPECT_EQ(lines[2].words[3], "1\n2");
}

TEST(ScenarioKeys, OnlyTheWindowsShortcutsAndTabKeys) {
    KeyPress key;
    ASSERT_TRUE(ParseKey("Shift+F10", key));
    EXPECT_EQ(key.virtualKey, 0x79u);
    EXPECT_TRUE(ParseKey("Ctrl+A", key));
    EXPECT_TRUE(ParseKey("Enter", key));
    EXPECT_TRUE(ParseKey("Escape", key));
    EXPECT_FALSE(ParseKey("F2", key));
    EXPECT_FALSE(ParseKey("Ctrl+Tab", key));
    EXPECT_FALSE(ParseKey("Alt+", key));
}

} // namespace
} // namespace vuni::sim

namespace vuni::sim {
namespace {

// The player itself: a scenario whose expectations partly fail is reported line by line and
// ends with 1; a wrong one ends with 2 before anything is played.
TEST(ScenarioPlayer, ReportsEachExpectationAndFailedStepsAndEndsWithTheRightCode) {
    testing::TempDir dir;
    testing::WriteHostFile(dir.Path() / "app.exe",
                           testing::BuildInstallerBytes(testing::SamplePackage()));
    testing::WriteHostFile(
        dir.Path() / "play.scenario",
        "machine jaws11\n"
        "program app.exe\n"
        "start\n"
        "expect page 71\n"
        "expect title \"Vuni pour MonAppli\"\n"
        "press 2\n"
        "choose 73 \"Copier les fichiers dans un dossier\"\n"
        "press 2\n"
        "press 2\n"
        "expect rows \"[x] MonAppli.jss\" \"[x] MonAppli.jsm\"\n"
        "press 16\n"
        "press 2\n"
        "answer Ok Autre\n"
        "press 5\n"
        "expect message Info \"Toutes les op\xC3\xA9rations ont \xC3\xA9t\xC3\xA9 "
        "\xC3\xA9"
        "ffectu\xC3\xA9 avec succ\xC3\xA9s !\"\n"
        "close\n"
        "expect exited\n"
        "key Enter\n");
    PlayerOptions options;
    options.machinesDir = testing::SourceDir() / "tests" / "machines";
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(PlayScenario(dir.Path() / "play.scenario", options, out, err), kSomeFailed);
    EXPECT_EQ(out.str(),
              "FAIL expect page 71: page 6 shown\n"
              "ok   expect title \"Vuni pour MonAppli\"\n"
              "FAIL expect rows \"[x] MonAppli.jss\" \"[x] MonAppli.jsm\": the rows are "
              "{[ ] MonAppli.jsm | [x] MonAppli.jss}\n"
              "FAIL press 16: control 16 is not shown and enabled\n"
              "FAIL answer Ok Autre: the answer went to a box titled \"Info\"\n"
              "ok   expect message Info \"Toutes les op\xC3\xA9rations ont \xC3\xA9t\xC3\xA9 "
              "\xC3\xA9"
              "ffectu\xC3\xA9 avec succ\xC3\xA9s !\"\n"
              "ok   expect exited\n"
              "FAIL key Enter: the installer has ended\n");

    testing::WriteHostFile(dir.Path() / "wrong.scenario", "machine jaws11\nstart\nfly away\n");
    EXPECT_EQ(PlayScenario(dir.Path() / "wrong.scenario", options, out, err), kScenarioWrong);
    testing::WriteHostFile(dir.Path() / "nomachine.scenario", "machine nowhere\nstart\n");
    EXPECT_EQ(PlayScenario(dir.Path() / "nomachine.scenario", options, out, err), kScenarioWrong);
}

// The focus order counts from the last action, idle aside: in order, others allowed between,
// ending on the last one named.
TEST(ScenarioPlayer, FocusOrderSinceTheLastAction) {
    testing::TempDir dir;
    testing::WriteHostFile(dir.Path() / "app.exe",
                           testing::BuildInstallerBytes(testing::SamplePackage()));
    testing::WriteHostFile(dir.Path() / "order.scenario",
                           "machine jaws11\nprogram app.exe\nstart\nidle 100\n"
                           "expect focus-order 7 2\nexpect focus-order 2 7\nexpect focus-order 7\n"
                           "press 2\nidle 60\nexpect focus-order 73\nexpect focus-order 7 73\n");
    PlayerOptions options;
    options.machinesDir = testing::SourceDir() / "tests" / "machines";
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(PlayScenario(dir.Path() / "order.scenario", options, out, err), kSomeFailed);
    EXPECT_EQ(out.str(), "ok   expect focus-order 7 2\n"
                         "FAIL expect focus-order 2 7: the focus went to 7 2\n"
                         "FAIL expect focus-order 7: the focus went to 7 2\n"
                         "ok   expect focus-order 73\n"
                         "FAIL expect focus-order 7 73: the focus went to 2 73\n");
}

} // namespace
} // namespace vuni::sim
