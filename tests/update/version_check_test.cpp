// The whole check against a real web server on loopback.
#include "loopback_server.h"
#include "platform/sim/sim_host.h"
#include "testing/temp_dir.h"
#include "update/date_mask.h"
#include "update/version_check.h"

#include <chrono>
#include <deque>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <memory>

namespace vuni {
namespace {

struct Box {
    std::string title;
    std::string text;
    MessageKind kind;
};

constexpr const char* kNewName = "http://example.invalid/MonAppli-1.3.exe";

class VersionCheck : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        serverDir_ = std::make_unique<testing::TempDir>();
        server_ = std::make_unique<testing::LoopbackServer>(serverDir_->Path());
        const std::string name = std::string("Name New Version = ") + kNewName + "\r\n";
        server_->SetBody("newer",
                         "; the next version\r\n" + name + "New Date = 16/03/2024 08:00\r\n");
        server_->SetBody("same", name + "New Date = 15/03/2024 10:30\r\n");
        server_->SetBody("noname", "New Date = 16/03/2025 08:00\r\n");
        server_->SetBody("program", "Name New Version = C:\\Windows\\calc.exe\r\n"
                                    "New Date = 16/03/2025 08:00\r\n");
    }
    static void TearDownTestSuite() {
        server_.reset();
        serverDir_.reset();
    }

    void SetUp() override {
        ASSERT_NE(server_->Port(), 0) << "the loopback web server did not start";
        ASSERT_TRUE(host.CreateFolder("C:\\Windows"));
        ASSERT_TRUE(host.CreateFolder("C:\\Windows\\Temp"));
        info.applicationName = "MonAppli";
        info.applicationVersion = "1.2";
        info.date = static_cast<int32_t>(SecondsFromWallClock({2024, 3, 15, 10, 30, 0}));
        context.waits.readMs = 2000;
        context.waits.unknownLengthReadMs = 300;
        context.waits.pollStepMs = 20;
        server_->ForgetLastRequest();
    }

    void Check(const std::string& location, bool silent) {
        info.updateLocation = location;
        CheckForNewVersion(context, silent);
    }

    // The log lines after "- Find network ", less the two address lines.
    std::vector<std::string> LinesAfterAddresses() const {
        const auto& lines = installLog.Lines();
        std::vector<std::string> after;
        for (size_t i = 0; i < lines.size(); ++i) {
            if (lines[i] == "- Find network ") {
                after.assign(lines.begin() + static_cast<std::ptrdiff_t>(i) + 3, lines.end());
            }
        }
        return after;
    }

    static std::unique_ptr<testing::TempDir> serverDir_;
    static std::unique_ptr<testing::LoopbackServer> server_;

    testing::TempDir dir;
    SimHost host{dir.Path()};
    MemoryLineSink installLog;
    MemoryLineSink progress;
    Log log{installLog, progress};
    PackageInfo info;
    std::vector<Box> boxes;
    std::deque<MessageAnswer> answers;
    bool quit = false;
    UpdateState state;
    VersionCheckContext context{
        host,
        log,
        info,
        [this](const std::string& title, const std::string& text, MessageKind kind) {
            boxes.push_back({title, text, kind});
            if (answers.empty()) {
                return MessageAnswer::Ok;
            }
            const MessageAnswer answer = answers.front();
            answers.pop_front();
            return answer;
        },
        quit,
        state};
};

std::unique_ptr<testing::TempDir> VersionCheck::serverDir_;
std::unique_ptr<testing::LoopbackServer> VersionCheck::server_;

TEST_F(VersionCheck, NewerVersionAcceptedOpensItsAddressAndQuits) {
    answers.push_back(MessageAnswer::Yes);
    Check(server_->Location("len", "newer"), true);

    const std::string port = std::to_string(server_->Port());
    EXPECT_EQ(server_->LastRequest(), "GET /len/newer/monappli-1.2.upqUPQ HTTP/1.1\r\n"
                                      "Accept: */*\r\nHost: 127.0.0.1:" +
                                          port + "\r\nConnection: close\r\n\r\n");
    const std::deque<std::string> expected = {
        "* Check for new version",
        " Current Date Version : 15/03/2024 10:30",
        "- Find network ",
        " TemporaryFileVersion : C:\\Windows\\Temp\\monappli-1.2.upqUPQ",
        " URL FileVersion = http://127.0.0.1:" + port + "/len/newer/monappli-1.2.upqUPQ",
        " UPQ file downloaded correctly !",
        std::string(" New File = ") + kNewName,
        " New Date : 16/03/2024 08:00",
    };
    EXPECT_EQ(installLog.Lines(), expected);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, "Info");
    EXPECT_EQ(boxes[0].text, "Nouvelle version disponible ! Voulez-vous la télécharger ?");
    EXPECT_EQ(boxes[0].kind, MessageKind::YesNo);
    EXPECT_EQ(host.ShellOpened(), std::vector<std::string>{kNewName});
    EXPECT_TRUE(quit);
    EXPECT_FALSE(host.IsFile("C:\\Windows\\Temp\\monappli-1.2.upqUPQ")) << "local copy deleted";
}

// Package texts with a blank, a folder separator or a colon: the request stays one line and
// the local copy stays one file of the temporary folder, so the check still works.
TEST_F(VersionCheck, NamesWithBlanksAndSeparatorsStillFetchTheDescriptor) {
    info.applicationName = "AC/DC Live: 2";
    answers.push_back(MessageAnswer::Yes);
    Check(server_->Location("len", "newer"), true);

    EXPECT_EQ(server_->LastRequest().substr(0, 50),
              "GET /len/newer/ac/dc%20live:%202-1.2.upqUPQ HTTP/1");
    EXPECT_THAT(
        installLog.Lines(),
        ::testing::Contains(" TemporaryFileVersion : C:\\Windows\\Temp\\ac_dc live_ 2-1.2.upqUPQ"));
    EXPECT_TRUE(quit) << "the newer version was found and accepted";
}

TEST_F(VersionCheck, NewerVersionDeclinedOrUnopenableLeavesTheInstallerRunning) {
    answers.push_back(MessageAnswer::No);
    Check(server_->Location("len", "newer"), false);
    EXPECT_EQ(boxes.size(), 1u) << "no second box after No";
    EXPECT_TRUE(host.ShellOpened().empty());
    EXPECT_FALSE(quit);

    // A shell that cannot open the address: the installer stays, the failure is logged.
    host.SetShellOpenSucceeds(false);
    answers.push_back(MessageAnswer::Yes);
    Check(server_->Location("len", "newer"), false);
    EXPECT_EQ(host.ShellOpened().size(), 1u);
    EXPECT_FALSE(quit);
    EXPECT_EQ(installLog.Lines().back(), "! Can't open New File");
}

TEST_F(VersionCheck, EveryBodyFramingDeliversTheDescriptor) {
    for (const char* mode : {"len", "slow", "chunked", "close", "302"}) {
        SCOPED_TRACE(mode);
        installLog.Clear();
        boxes.clear();
        answers.push_back(MessageAnswer::No);
        Check(server_->Location(mode, "newer"), true);
        const std::vector<std::string> expected = {
            " UPQ file downloaded correctly !",
            std::string(" New File = ") + kNewName,
            " New Date : 16/03/2024 08:00",
        };
        EXPECT_EQ(LinesAfterAddresses(), expected);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].kind, MessageKind::YesNo);
    }
}

TEST_F(VersionCheck, NothingNewerIsReportedOnlyWhenAsked) {
    // Same date, a later date without a name, and a name that is not a web address.
    for (const char* body : {"same", "noname", "program"}) {
        SCOPED_TRACE(body);
        boxes.clear();
        Check(server_->Location("len", body), true);
        EXPECT_TRUE(boxes.empty());
        EXPECT_NE(installLog.Lines().back(), " No new version !");

        Check(server_->Location("len", body), false);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].title, "Info");
        EXPECT_EQ(boxes[0].text, "Pas de nouvelle version détectée ! ");
        EXPECT_EQ(installLog.Lines().back(), " No new version !");
    }
    EXPECT_TRUE(host.ShellOpened().empty());
    EXPECT_FALSE(quit);
    EXPECT_NE(installLog.Text().find("! New File is not a web address, ignored"),
              std::string::npos);
}

TEST_F(VersionCheck, StalledOrTricklingBodyKeepsWhatArrived) {
    context.waits.readMs = 300;
    context.waits.totalMs = 800;
    for (const char* mode : {"stall", "trickle"}) {
        SCOPED_TRACE(mode);
        boxes.clear();
        answers.push_back(MessageAnswer::No);
        const auto start = std::chrono::steady_clock::now();
        Check(server_->Location(mode, "newer"), true);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        ASSERT_EQ(boxes.size(), 1u) << "the part that arrived held the whole descriptor";
        EXPECT_EQ(boxes[0].kind, MessageKind::YesNo);
    }
}

// A server that sends one byte a second would keep every read alive: the whole exchange
// still ends within its bound, with the installer's own waits.
TEST_F(VersionCheck, ADrippingServerHoldsTheWindowNoLongerThanTheExchangeBound) {
    const HttpWaits defaults;
    ASSERT_EQ(context.waits.totalMs, defaults.totalMs);
    const auto start = std::chrono::steady_clock::now();
    Check(server_->Location("drip", "newer"), false);
    EXPECT_LT(std::chrono::steady_clock::now() - start,
              std::chrono::milliseconds(defaults.totalMs + 5000));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Pas de nouvelle version détectée ! ") << "nothing but line breaks";
}

TEST_F(VersionCheck, FailedDownloadsShowAnErrorOnlyWhenAsked) {
    context.waits.readMs = 300;
    const std::string unreachable =
        "http://127.0.0.1:" + std::to_string(testing::UnusedLoopbackPort()) + "/x";
    const std::string noScheme = "127.0.0.1:" + std::to_string(server_->Port()) + "/len/newer";
    for (const std::string& location :
         {server_->Location("404", "newer"), server_->Location("mute", "newer"), unreachable,
          noScheme}) {
        SCOPED_TRACE(location);
        installLog.Clear();
        boxes.clear();
        const auto start = std::chrono::steady_clock::now();
        Check(location, true);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        EXPECT_TRUE(boxes.empty());
        EXPECT_TRUE(LinesAfterAddresses().empty()) << installLog.Text();

        Check(location, false);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].title, "Erreur");
        EXPECT_EQ(boxes[0].text, "Impossible d'accéder au fichier, de version, distant !");
        EXPECT_EQ(installLog.Lines().back(), "! Error, can't download UPQ file");
    }
    EXPECT_EQ(server_->LastRequest().find("GET /len/"), std::string::npos)
        << "an address without \"://\" is never requested";
    EXPECT_FALSE(quit);
}

TEST_F(VersionCheck, NetworkLayerStartsOnceAndItsAbsenceIsSilent) {
    host.SetNetworkAvailable(false);
    Check(server_->Location("len", "same"), false);
    EXPECT_TRUE(boxes.empty()) << "no message even from the button";
    const std::deque<std::string> expected = {"* Check for new version",
                                              " Current Date Version : 15/03/2024 10:30"};
    EXPECT_EQ(installLog.Lines(), expected);
    EXPECT_FALSE(state.networkStarted);

    host.SetNetworkAvailable(true);
    Check(server_->Location("len", "same"), false);
    Check(server_->Location("len", "same"), false);
    EXPECT_TRUE(state.networkStarted);
    EXPECT_EQ(host.NetworkStartupCount(), 2) << "the failure was retried, the success kept";
    EXPECT_EQ(boxes.size(), 2u);
}

} // namespace
} // namespace vuni
