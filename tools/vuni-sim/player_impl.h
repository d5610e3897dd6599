// The scenario player's own parts, shared by player.cpp (set-up and the steps that act) and
// expectations.cpp (the "expect" lines).
#pragma once

#include "app/installer.h"
#include "headless/headless_window.h"
#include "platform/sim/sim_machine.h"
#include "player.h"
#include "scenario.h"
#include "web_server.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace vuni::sim {

// The bytes of a file of this machine; nothing when it is not a readable regular file.
std::optional<std::string> ReadHostFile(const std::filesystem::path& path);
// A Windows-1252 text in double quotes, in UTF-8, for the report.
std::string Quoted(const std::string& cp1252);
// A control number written in a scenario (0 when it is none).
int ControlArg(const std::string& word);

// A fresh sandbox folder, removed with the player unless it is to be kept.
class Sandbox {
public:
    explicit Sandbox(bool keep);
    ~Sandbox();
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
    bool keep_;
};

// Mirrors the order in which the headless view hands out queued replies (one per box,
// chooser or menu, oldest first), so that a reply can be told which request took it.
struct QueuedReply {
    std::string title; // the box it is meant for; empty: any
    const ScenarioLine* line = nullptr;
};

class Player {
public:
    Player(const std::filesystem::path& file, const PlayerOptions& options, std::ostream& out,
           std::ostream& err)
        : file_(file), folder_(file.parent_path()), options_(options), out_(out), err_(err),
          sandbox_(options.keepSandbox) {}

    int Play(std::vector<ScenarioLine> lines);

private:
    enum class Phase { Setup, Running, Ended };

    // ---- setup
    bool SetUp();
    bool BuildPackage(const std::filesystem::path& dir, const std::filesystem::path& output);
    std::filesystem::path FindMachine(const std::string& name) const;
    void StartStandinProcesses();
    void RunProcess(uint32_t id, const std::string& path);
    void Start();

    // ---- steps
    // Plays one line, timing it when asked to.
    void Execute(const ScenarioLine& line);
    void ExecuteStep(const ScenarioLine& line);
    bool Drive();
    void Act(const ScenarioLine& line);
    void PressKey(const std::string& name);
    void MoveFocus(bool forward);
    int FindRow(const std::string& start);
    void AfterStep(const ScenarioLine* line);

    // ---- expectations (expectations.cpp)
    struct Expectation {
        const ScenarioLine& line;
        const std::string& what; // the word after "expect"
        std::vector<std::string> args;
        int control = 0;     // the first argument as a control number; 0 without one
        bool settle = false; // idle came just before: a file may still be on its way
    };
    void Expect(const ScenarioLine& line);
    void ExpectPhase(const Expectation& e);
    void ExpectPage(const Expectation& e);
    void ExpectText(const Expectation& e);
    void ExpectShown(const Expectation& e);
    void ExpectEnabled(const Expectation& e);
    void ExpectChecked(const Expectation& e);
    void ExpectItems(const Expectation& e);
    void ExpectRows(const Expectation& e);
    void ExpectFocus(const Expectation& e);
    void ExpectFocusOrder(const Expectation& e);
    void ExpectTitle(const Expectation& e);
    void ExpectMessage(const Expectation& e);
    void ExpectNoMessage(const Expectation& e);
    void ExpectLineIn(const Expectation& e);
    void ExpectLogLine(const Expectation& e);
    void ExpectFile(const Expectation& e);
    void ExpectNoFile(const Expectation& e);
    void ExpectSameAsMachine(const Expectation& e);
    void ExpectWindowRestored(const Expectation& e);

    void Held(const ScenarioLine& line) { out_ << "ok   " << line.text << "\n"; }
    void Failed(const ScenarioLine& line, const std::string& seen) {
        ++failures_;
        out_ << "FAIL " << line.text << ": " << seen << "\n";
        err_ << file_.string() << ":" << line.number << ": expectation failed\n";
    }
    void Check(const ScenarioLine& line, bool holds, const std::string& seen) {
        if (holds) {
            Held(line);
        } else {
            Failed(line, seen);
        }
    }
    bool Broken(const std::string& what) {
        err_ << file_.string() << ": " << what << "\n";
        broken_ = true;
        return false;
    }
    HeadlessView& View() { return window_.Headless(); }
    std::filesystem::path HostFile(const std::string& winPath) const {
        return host_->ToHostPath(winPath);
    }

    std::filesystem::path file_;
    std::filesystem::path folder_;
    const PlayerOptions& options_;
    std::ostream& out_;
    std::ostream& err_;
    Sandbox sandbox_;

    std::vector<ScenarioLine> lines_;
    size_t next_ = 0;
    Phase phase_ = Phase::Setup;
    bool setUp_ = false;
    bool broken_ = false;
    int failures_ = 0;

    // what the setup lines asked for
    std::string machineName_;
    std::filesystem::path machineDir_;
    MachineDescription machine_; // machine.ini as LoadMachine read it
    std::filesystem::path packageDir_;
    std::filesystem::path programFile_;
    std::filesystem::path appendFile_; // bytes put after the program file (a hand-made package)
    std::string programPath_;
    std::vector<std::pair<uint32_t, std::string>> processes_;
    bool otherInstance_ = false;
    std::vector<std::string> otherTitles_;
    bool noSound_ = false;
    int webPort_ = 0;
    std::filesystem::path webFolder_;
    WebServer webServer_;

    std::unique_ptr<SimHost> host_;
    HeadlessWindow window_;
    std::unique_ptr<Installer> installer_;
    std::map<std::string, uint64_t> otherWindows_;

    size_t messagesExpected_ = 0;
    std::deque<QueuedReply> answers_;
    size_t messagesAnswered_ = 0;
    std::vector<int> lastPages_;
    bool dumpedOnce_ = false;
    bool settleNext_ = false; // idle came last: the next file expectation may wait
    size_t focusMark_ = 0;    // the focus history's length when the last action began
    size_t messagesDumped_ = 0;
};

} // namespace vuni::sim
