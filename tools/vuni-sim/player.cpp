#include "player.h"

#include "player_impl.h"
#include "standin_support.h"
#include "text/text.h"
#include "wizard/control_style.h"
#include "wizard/controls.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <optional>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

namespace vuni::sim {
namespace fs = std::filesystem;

std::optional<std::string> ReadHostFile(const fs::path& path) {
    std::error_code ec;
    if (path.empty() || !fs::is_regular_file(path, ec)) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (!in.good() && !in.eof()) {
        return std::nullopt;
    }
    return bytes.str();
}

std::string Quoted(const std::string& cp1252) {
    return "\"" + Cp1252ToUtf8(cp1252) + "\"";
}

int ControlArg(const std::string& word) {
    long long n = 0;
    ParseNumber(word, n);
    return static_cast<int>(n);
}

Sandbox::Sandbox(bool keep) : keep_(keep) {
    std::string pattern = (fs::temp_directory_path() / "vuni-sim-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) {
        path_ = pattern;
    }
}

Sandbox::~Sandbox() {
    std::error_code ec;
    if (!path_.empty() && !keep_) {
        fs::remove_all(path_, ec);
    }
}

namespace {

// Runs a program with its arguments, without a shell; its exit code, or -1.
int RunProgram(const std::vector<std::string>& argv) {
    std::vector<char*> raw;
    raw.reserve(argv.size() + 1);
    for (const std::string& a : argv) {
        raw.push_back(const_cast<char*>(a.c_str()));
    }
    raw.push_back(nullptr);
    const pid_t pid = fork();
    if (pid < 0) {
        return -1;
    }
    if (pid == 0) {
        // The packer's report would mix with the expectation lines.
        const int quiet = open("/dev/null", O_WRONLY);
        if (quiet >= 0) {
            dup2(quiet, STDOUT_FILENO);
        }
        execv(raw[0], raw.data());
        _exit(127);
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

} // namespace

fs::path Player::FindMachine(const std::string& name) const {
    std::error_code ec;
    const fs::path utf8Name = fs::path(Cp1252ToUtf8(name));
    for (const fs::path& base : {folder_, options_.machinesDir}) {
        if (!base.empty() && fs::is_directory(base / utf8Name, ec)) {
            return base / utf8Name;
        }
    }
    return {};
}

bool Player::BuildPackage(const fs::path& dir, const fs::path& output) {
    std::error_code ec;
    fs::path manifest = dir;
    if (fs::is_directory(dir, ec)) {
        manifest.clear();
        for (const fs::directory_entry& e : fs::directory_iterator(dir, ec)) {
            if (EndsWith(e.path().filename().string(), ".vunipack.ini")) {
                manifest = e.path();
                break;
            }
        }
    }
    if (manifest.empty() || !fs::is_regular_file(manifest, ec)) {
        return Broken("no manifest (*.vunipack.ini) in " + dir.string());
    }
    // Any stub does for the simulated Windows: the program is this process.
    const fs::path stub = sandbox_.Path() / "stub.exe";
    std::ofstream(stub, std::ios::binary) << "MZ vuni-sim stub\n";
    const int code = RunProgram({options_.vunipack.string(), "build", manifest.string(), "-o",
                                 output.string(), "--stub", stub.string()});
    if (code != 0) {
        return Broken("vunipack could not build " + manifest.string());
    }
    return true;
}

bool Player::SetUp() {
    setUp_ = true;
    if (sandbox_.Path().empty()) {
        return Broken("no sandbox folder could be made");
    }
    if (machineName_.empty()) {
        return Broken("no machine line before the installer is used");
    }
    machineDir_ = FindMachine(machineName_);
    if (machineDir_.empty()) {
        return Broken("no machine \"" + Cp1252ToUtf8(machineName_) + "\"");
    }
    const fs::path root = sandbox_.Path() / "root";
    std::error_code ec;
    fs::create_directories(root, ec);
    host_ = std::make_unique<SimHost>(root);
    std::string error;
    if (!LoadMachine(*host_, machineDir_, error, options_.standins, &machine_)) {
        return Broken("machine " + machineDir_.string() + ": " + error);
    }
    // Start-up sounds must not hold the run up; the network reaches only a scenario's own
    // web server on this machine.
    host_->SetVirtualSleep(true);
    host_->SetNetworkAvailable(webPort_ != 0);
    if (webPort_ != 0) {
        std::string webError;
        if (!webServer_.Start(webPort_, webFolder_, webError)) {
            return Broken(webError);
        }
    }
    if (!programPath_.empty()) {
        host_->SetOwnProgramPath(programPath_);
    }
    if (host_->OwnProgramPath().empty()) {
        host_->SetOwnProgramPath("C:\\vuni.exe");
    }
    const fs::path target = HostFile(host_->OwnProgramPath());
    if (target.empty()) {
        return Broken("the program path cannot be mapped");
    }
    fs::create_directories(target.parent_path(), ec);
    if (!packageDir_.empty()) {
        if (!BuildPackage(packageDir_, target)) {
            return false;
        }
    } else if (!programFile_.empty()) {
        if (!fs::copy_file(programFile_, target, fs::copy_options::overwrite_existing, ec)) {
            return Broken("cannot copy the program file " + programFile_.string());
        }
    }
    if (!appendFile_.empty()) {
        std::ifstream in(appendFile_, std::ios::binary);
        std::ofstream out(target, std::ios::binary | std::ios::app);
        if (!(out << in.rdbuf())) {
            return Broken("cannot append " + appendFile_.string());
        }
    }
    StartStandinProcesses();
    if (otherInstance_) {
        host_->AddNamedMutex(kProgramName);
    }
    for (const std::string& title : otherTitles_) {
        otherWindows_[title] = host_->AddTopLevelWindow(title);
    }
    if (noSound_) {
        host_->SetSoundAvailable(false);
    }
    return true;
}

// The machine's running screen reader and the scenario's extra processes really run when
// there are stand-ins for them, as they do under Wine: the stand-in jfw writes its journal
// when it starts, and the stop program really ends it. A process line naming a missing
// program gets the jfw stand-in under that name. Without stand-ins they are only listed.
void Player::StartStandinProcesses() {
    const MachineDescription& machine = machine_;
    const fs::path jfw =
        options_.standins.empty() ? fs::path() : NativeStandinFile(options_.standins, "jfw");
    for (const auto& process : machine.processes) {
        const std::string& path = process.second;
        const bool standin = std::any_of(
            machine.standins.begin(), machine.standins.end(), [&path](const MachineStandin& s) {
                return s.name == "jfw" && EqualsNoCase(s.windowsPath, path);
            });
        if (standin && !jfw.empty()) {
            RunProcess(process.first, path);
        }
    }
    for (const auto& [id, path] : processes_) {
        const fs::path file = HostFile(path);
        std::error_code ec;
        if (!jfw.empty() && !file.empty() && !fs::is_regular_file(file, ec)) {
            fs::create_directories(file.parent_path(), ec);
            fs::copy_file(jfw, file, ec);
        }
        if (jfw.empty() || ec) {
            host_->AddProcess(id, path);
        } else {
            RunProcess(id, path);
        }
    }
}

// Runs path as the process listed as id (or adds it when there was none); only listed
// when it cannot be started.
void Player::RunProcess(uint32_t id, const std::string& path) {
    host_->RemoveProcess(id);
    const size_t cut = path.rfind('\\');
    const std::string folder = cut == std::string::npos ? std::string() : path.substr(0, cut);
    // The stand-in notes its start in its journal; the run goes on once it has, as the
    // installer finds a screen reader that is up (a run can be over in milliseconds).
    const fs::path journal = HostFile(folder + "\\" + standin::kJfwJournal);
    const auto journalSize = [&journal] {
        std::error_code ec;
        const uintmax_t size = fs::file_size(journal, ec);
        return ec ? uintmax_t{0} : size;
    };
    const uintmax_t before = journalSize();
    const ProcessRun run = host_->StartProcess(path, "\"" + path + "\"", folder, false);
    if (run.id == 0) {
        host_->AddProcess(id, path);
        return;
    }
    host_->AddStartedProcess(run.id, path);
    for (int i = 0; i < 500 && journalSize() == before; ++i) {
        usleep(10000);
    }
}

void Player::Start() {
    if (!setUp_ && !SetUp()) {
        return;
    }
    installer_ = std::make_unique<Installer>(*host_, window_);
    phase_ = Phase::Running;
    const StartOutcome outcome = installer_->Start();
    AfterStep(nullptr);
    if (outcome == StartOutcome::Running) {
        window_.SetDriver([this](HeadlessView&) { return Drive(); });
        installer_->RunEventLoop();
    }
    installer_->Shutdown();
    phase_ = Phase::Ended;
}

// One turn of the event loop: the next step; false once the steps are done (the window is
// then closed) or the scenario cannot go on.
bool Player::Drive() {
    if (broken_ || next_ >= lines_.size()) {
        return false;
    }
    Execute(lines_[next_++]);
    return !broken_;
}

void Player::Execute(const ScenarioLine& line) {
    const auto began = std::chrono::steady_clock::now();
    ExecuteStep(line);
    if (options_.timings) {
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - began;
        out_ << "time line " << line.number << ": " << took.count() << " ms\n";
    }
}

void Player::ExecuteStep(const ScenarioLine& line) {
    const std::string& command = line.words[0];
    if (command == "expect") {
        if (phase_ == Phase::Setup && !setUp_ && !SetUp()) {
            return;
        }
        Expect(line);
    } else if (command == "start") {
        Start();
    } else {
        Act(line);
    }
}

void Player::Act(const ScenarioLine& line) {
    const std::string& command = line.words[0];
    const std::vector<std::string> args(line.words.begin() + 1, line.words.end());
    HeadlessView& view = View();
    // ---- setup
    if (command == "machine") {
        machineName_ = args[0];
        return;
    }
    if (command == "package" || command == "program") {
        std::error_code ec;
        // @stub: the installer's own program without a package; here, this very program.
        const fs::path path = command == "program" && args[0] == "@stub"
                                  ? fs::read_symlink("/proc/self/exe", ec)
                                  : folder_ / fs::path(Cp1252ToUtf8(args[0]));
        if (!fs::exists(path, ec)) {
            Broken("line " + std::to_string(line.number) + ": no " + path.string());
            return;
        }
        (command == "package" ? packageDir_ : programFile_) = path;
        return;
    }
    if (command == "append") {
        appendFile_ = folder_ / fs::path(Cp1252ToUtf8(args[0]));
        if (!fs::is_regular_file(appendFile_)) {
            Broken("line " + std::to_string(line.number) + ": no " + appendFile_.string());
        }
        return;
    }
    if (command == "program-path") {
        programPath_ = args[0];
        return;
    }
    if (command == "process") {
        long long id = 0;
        ParseNumber(args[0], id);
        processes_.emplace_back(static_cast<uint32_t>(id), args[1]);
        return;
    }
    if (command == "other-instance") {
        otherInstance_ = true;
        if (!args.empty()) {
            otherTitles_.push_back(args[0]);
        }
        return;
    }
    if (command == "no-sound") {
        noSound_ = true;
        return;
    }
    if (command == "web-server") {
        long long port = 0;
        if (!ParseNumber(args[0], port)) {
            Broken("line " + std::to_string(line.number) + ": no port number");
            return;
        }
        webPort_ = static_cast<int>(port);
        webFolder_ = folder_ / fs::path(Cp1252ToUtf8(args[1]));
        return;
    }
    if (command == "sim-only" || command == "wine-only") {
        return;
    }
    // ---- replies queued for what comes next
    if (command == "answer") {
        const MessageAnswer answer = EqualsNoCase(args[0], "Yes")  ? MessageAnswer::Yes
                                     : EqualsNoCase(args[0], "No") ? MessageAnswer::No
                                                                   : MessageAnswer::Ok;
        view.QueueAnswer(answer);
        answers_.push_back({args.size() > 1 ? args[1] : std::string(), &line});
        return;
    }
    if (command == "folder") {
        view.QueueFolder(args[0] == "cancel" ? std::nullopt : std::optional<std::string>(args[0]));
        return;
    }
    if (command == "menu") {
        view.QueueMenuChoice(args[0] == "none" ? 0 : ControlArg(args[0]));
        return;
    }
    // ---- the user at the window
    if (phase_ != Phase::Running) {
        Failed(line, "the installer has ended");
        return;
    }
    if (command != "idle") {
        focusMark_ = view.FocusHistory().size();
    }
    if (command == "close") {
        view.Close();
    } else if (command == "press") {
        // A click (BM_CLICK is a button press and release) gives the button the focus first.
        const int control = ControlArg(args[0]);
        const int panel = ctl::PanelOf(control);
        if (view.IsShown(control) && view.IsEnabled(control) &&
            (panel == 0 || view.IsEnabled(panel))) {
            view.UserFocus(control);
        }
        if (!view.Press(control)) {
            Failed(line, "control " + args[0] + " is not shown and enabled");
        }
    } else if (command == "key") {
        PressKey(args[0]);
    } else if (command == "choose") {
        if (!view.Pick(ControlArg(args[0]), args[1])) {
            Failed(line, "no such item, or the drop-down is not shown and enabled");
        }
    } else if (command == "type") {
        if (!view.Type(ControlArg(args[0]), args[1])) {
            Failed(line, "control " + args[0] + " is not shown and enabled");
        }
    } else if (command == "check" || command == "uncheck" || command == "select") {
        const int row = FindRow(args[0]);
        if (row < 0) {
            Failed(line, "no file row starts with " + Quoted(args[0]));
        } else if (!(command == "select" ? view.ClickRow(row)
                                         : view.CheckRow(row, command == "check"))) {
            Failed(line, "the file list is not shown and enabled");
        }
    } else if (command == "rightclick") {
        view.RightClick();
    } else if (command == "idle") {
        view.Idle(ControlArg(args[0]));
        settleNext_ = true;
    } else if (command == "switch-away") {
        view.Deactivate();
    } else if (command == "switch-back") {
        view.Activate();
    }
    AfterStep(&line);
}

int Player::FindRow(const std::string& start) {
    const std::vector<ListRow>& rows = View().Rows();
    for (size_t i = 0; i < rows.size(); ++i) {
        if (StartsWith(rows[i].text, start)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void Player::PressKey(const std::string& name) {
    KeyPress key;
    ParseKey(name, key);
    if (key.virtualKey == kKeyTab) {
        MoveFocus(key.modifiers == kNoModifier);
        return;
    }
    if (key.virtualKey == kKeyEscape) {
        return; // the window keeps Escape from turning into a click on control 2
    }
    for (const ShortcutRow& row : kShortcutRows) {
        if (row.virtualKey == key.virtualKey && row.modifiers == key.modifiers) {
            View().Shortcut(row.command);
            return;
        }
    }
}

// Tab and Shift+Tab: the next (previous) control in creation order that takes the focus
// (a tab stop, shown and enabled, on an enabled panel), wrapping round.
void Player::MoveFocus(bool forward) {
    HeadlessView& view = View();
    const std::span<const ctl::ControlSpec> table = ctl::ControlTable();
    const int n = static_cast<int>(table.size());
    int at = -1;
    for (int i = 0; i < n; ++i) {
        if (table[static_cast<size_t>(i)].number == view.FocusedControl()) {
            at = i;
        }
    }
    if (at < 0) {
        at = forward ? n - 1 : 0;
    }
    for (int step = 1; step <= n; ++step) {
        const int i = ((forward ? at + step : at - step) % n + n) % n;
        const ctl::ControlSpec& c = table[static_cast<size_t>(i)];
        const int panel = c.parent;
        const bool takesFocus = (ControlStyle(c) & style::kTabStop) != 0 &&
                                view.IsShown(c.number) && view.IsEnabled(c.number) &&
                                (panel == 0 || view.IsEnabled(panel));
        if (takesFocus) {
            view.UserFocus(c.number);
            return;
        }
    }
}

void Player::AfterStep(const ScenarioLine* line) {
    const HeadlessView& view = View();
    // The title given with an answer must be the one of the box that took it.
    const std::vector<HeadlessView::MessageRecord>& messages = view.Messages();
    for (; messagesAnswered_ < messages.size(); ++messagesAnswered_) {
        if (answers_.empty()) {
            continue;
        }
        const QueuedReply reply = answers_.front();
        answers_.pop_front();
        if (!reply.title.empty() && reply.title != messages[messagesAnswered_].title) {
            Failed(*reply.line,
                   "the answer went to a box titled " + Quoted(messages[messagesAnswered_].title));
        }
    }
    if (!options_.dump) {
        return;
    }
    for (; messagesDumped_ < messages.size(); ++messagesDumped_) {
        const HeadlessView::MessageRecord& m = messages[messagesDumped_];
        out_ << "---- message box " << Quoted(m.title) << " " << Quoted(m.text) << "\n";
    }
    std::vector<int> pages;
    for (int p : ctl::kPages) {
        if (view.IsVisible(p)) {
            pages.push_back(p);
        }
    }
    if (pages != lastPages_ || !dumpedOnce_) {
        dumpedOnce_ = true;
        lastPages_ = pages;
        out_ << "---- " << (line != nullptr ? line->text : std::string("start"));
        for (int p : pages) {
            out_ << " | page " << p;
        }
        out_ << "\n" << Cp1252ToUtf8(view.Snapshot());
    }
}

int Player::Play(std::vector<ScenarioLine> lines) {
    lines_ = std::move(lines);
    while (!broken_ && next_ < lines_.size()) {
        Execute(lines_[next_++]);
    }
    if (!broken_ && !setUp_) {
        SetUp(); // a scenario of setup lines only still checks its machine and package
    }
    if (options_.keepSandbox && !sandbox_.Path().empty()) {
        err_ << "sandbox kept: " << sandbox_.Path().string() << "\n";
    }
    if (broken_) {
        return kScenarioWrong;
    }
    return failures_ == 0 ? kAllHeld : kSomeFailed;
}

int PlayScenario(const fs::path& file, const PlayerOptions& options, std::ostream& out,
                 std::ostream& err) {
    const std::optional<std::string> text = ReadHostFile(file);
    if (!text) {
        err << file.string() << ": cannot be read\n";
        return kScenarioWrong;
    }
    std::vector<ScenarioLine> lines;
    std::string error;
    if (!ReadScenario(*text, lines, error) || !CheckScenario(lines, error)) {
        err << file.string() << ": " << error << "\n";
        return kScenarioWrong;
    }
    std::error_code ec;
    if (!options.vunipack.empty() && !fs::is_regular_file(options.vunipack, ec)) {
        for (const ScenarioLine& line : lines) {
            if (line.words[0] == "package") {
                err << file.string() << ": no vunipack at " << options.vunipack.string() << "\n";
                return kCannotRunHere;
            }
        }
    }
    Player player(file, options, out, err);
    return player.Play(std::move(lines));
}

} // namespace vuni::sim
