// Page entry procedures and Next / Previous.
#include "log/log.h"
#include "package/package.h"
#include "text/text.h"
#include "wizard/controls.h"
#include "wizard/wizard.h"

namespace vuni {

using namespace ctl;

namespace {

bool Blank(const std::string& s) {
    return Trim(s).empty();
}

std::string WelcomeText(const PackageInfo& info, std::string& recommendation) {
    std::string t = "Bienvenue dans l'assistant d'installation de scripts pour la revue d'écran "
                    "JAWS !\n";
    t += "Cet assistant va vous guider durant l'installation des scripts";
    if (!Blank(info.scriptSetVersion)) {
        t += ", version " + info.scriptSetVersion;
    }
    t += (info.flags & InfoCertified) != 0 ? ", certifiés par " : ", de ";
    t += info.author + ",";
    t += " permétant l'amélioration de l'accéssibilité de l'application " + info.applicationName;
    if (!Blank(info.applicationVersion)) {
        t += " version " + info.applicationVersion;
    }
    t += ".";
    recommendation.clear();
    if (!Blank(info.recommendedJawsVersion)) {
        recommendation += " pour Jaws " + info.recommendedJawsVersion;
    }
    if (!Blank(info.recommendedCompanion)) {
        recommendation += " avec " + info.recommendedCompanion;
    }
    if (!recommendation.empty()) {
        t += " Recommandé" + recommendation + ".";
    }
    if (!Blank(info.comments)) {
        t += "\nCommentaires : " + info.comments;
    }
    return t;
}

std::string FolderHeading(OperationKind kind) {
    if (HasBit(kind, OperationKind::Copy)) {
        return "Sélectionner le dossier pour la copie : ";
    }
    if (HasBit(kind, OperationKind::Install)) {
        return "Sélectionner le dossier d'installation : ";
    }
    if (HasBit(kind, OperationKind::RemoveAssociation)) {
        return "Sélectionner le dossier d'où doit être retirer l'association : ";
    }
    return "";
}

std::string FilesHeadingEnd(OperationKind kind) {
    if (HasBit(kind, OperationKind::Copy)) {
        return ", à copier";
    }
    if (HasBit(kind, OperationKind::Install)) {
        return ", à installer";
    }
    if (HasBit(kind, OperationKind::RemoveAssociation)) {
        return ", pour retirer l'association avec le Default.JSS";
    }
    return "";
}

} // namespace

Wizard::Wizard(WizardState& state, View& view, Log& log, Host& host, PackageState& package,
               std::vector<SettingsFolder>& folders, const std::string& runningJawsVersion,
               WizardServices services)
    : state_(state), view_(view), log_(log), host_(host), package_(package), folders_(folders),
      runningJawsVersion_(runningJawsVersion), services_(std::move(services)) {}

std::string Wizard::WizardTitle() const {
    return "Vuni pour " + package_.info.applicationName;
}

void Wizard::FillLists() {
    const Choices operations = OperationChoices(package_.entries);
    view_.ClearItems(kOperationChooser);
    for (const std::string& item : operations.items) {
        view_.AddItem(kOperationChooser, item);
    }
    view_.SelectItem(kOperationChooser, operations.defaultIndex);
    RebuildFolderChoices();
    state_.selection.restartJaws = (package_.info.flags & InfoRestartJaws) != 0;
    view_.SetChecked(kRestartCheckBox, state_.selection.restartJaws);
}

void Wizard::Start() {
    ShowWelcome();
    state_.focus.countdown = kStartFocusTicks;
}

void Wizard::ShowPage(int page, uint32_t mask) {
    for (int panel : kPages) {
        view_.SetVisible(panel, false);
        view_.SetEnabled(panel, false);
    }
    for (const ButtonBit& b : kButtons) {
        const bool on = (mask & b.bit) != 0;
        view_.SetEnabled(b.control, on);
        view_.SetVisible(b.control, on);
    }
    view_.SetText(kHelpButton, "Aide");
    view_.SetVisible(page, true);
    view_.SetEnabled(page, true);
    state_.currentPage = page;
    state_.focus.pending = 0;
    state_.focus.countdown = 0;
    view_.SetStatus("Vuni");
}

void Wizard::FocusNow(int control) {
    view_.Focus(control);
}

void Wizard::SetPending(int control) {
    state_.focus.pending = control;
}

void Wizard::MarkPageInUse(int page) {
    state_.pageInUse = page;
}

void Wizard::ShowWelcome() {
    const PackageInfo& info = package_.info;
    std::string recommendation;
    view_.SetText(kWelcomeText, WelcomeText(info, recommendation));
    view_.SetText(kScriptField, info.scriptSetVersion + " pour " + info.applicationName + " " +
                                    info.applicationVersion);
    view_.SetText(kAuthorField, info.author);
    view_.SetText(kContactField, info.contact);
    view_.SetText(kRecommendedField, recommendation);
    const auto offer = [this](int control, bool on) {
        view_.SetVisible(control, on);
        view_.SetEnabled(control, on);
    };
    offer(kUpdateButton, (info.flags & InfoUpdateButton) != 0);
    offer(kAuthorSiteButton, !info.authorSite.empty());
    offer(kApplicationSiteButton, !info.applicationSite.empty());
    ShowPage(kPageWelcome, kMaskHelp | kMaskNext | kMaskCancel);
    FocusNow(kWelcomeText);
    SetPending(kNextButton);
    state_.focus.pageFocus = kNextButton;
    MarkPageInUse(kPageWelcome);
}

void Wizard::ShowOperation() {
    ShowPage(kPageOperation, kMaskHelp | kMaskNext | kMaskPrevious | kMaskCancel);
    FocusNow(kOperationChooser);
    state_.focus.pageFocus = kOperationChooser;
    MarkPageInUse(kPageOperation);
}

void Wizard::ShowFolder(bool forward) {
    const OperationKind kind = state_.selection.kind;
    view_.SetText(kFolderHeading, FolderHeading(kind));
    if (forward && HasBit(kind, OperationKind::Copy)) {
        view_.SelectItem(kFolderChooser, view_.ItemCount(kFolderChooser) - 1);
        RebuildLanguageChoices();
    }
    ShowPage(kPageFolder, kMaskHelp | kMaskNext | kMaskPrevious | kMaskCancel);
    FocusNow(kFolderChooser);
    state_.focus.pageFocus = kFolderChooser;
    MarkPageInUse(kPageFolder);
}

void Wizard::ShowGroup() {
    RebuildGroupChoices();
    ShowPage(kPageGroup, kMaskHelp | kMaskNext | kMaskPrevious | kMaskCancel);
    FocusNow(kGroupExplanation);
    SetPending(kGroupChooser);
    state_.focus.pageFocus = kGroupChooser;
    MarkPageInUse(kPageGroup);
}

bool Wizard::ShowFiles() {
    const OperationKind kind = state_.selection.kind;
    view_.SetEnabled(kAliasField, !HasBit(kind, OperationKind::Copy));
    if (!RebuildFileRows(-1)) {
        return false;
    }
    const int group = state_.selection.chosenGroup;
    const std::string name = group >= 0 && static_cast<size_t>(group) < package_.groups.size()
                                 ? package_.groups[static_cast<size_t>(group)].name
                                 : std::string();
    view_.SetText(kFilesHeading,
                  "Groupe de fichiers scripts, de Jaws " + name + FilesHeadingEnd(kind));
    ShowPage(kPageFiles, kMaskHelp | kMaskNext | kMaskPrevious | kMaskCancel);
    FocusNow(kFilesHeading);
    SetPending(kFileList);
    state_.focus.pageFocus = kFileList;
    MarkPageInUse(kPageFiles);
    return true;
}

void Wizard::ShowInstall() {
    if (state_.operationDone) {
        ShowPage(kPageInstall, kMaskCancel);
    } else {
        view_.SetText(kRunButton, FirstWord(LabelOfKind(state_.selection.kind)));
        log_.ClearProgress();
        for (const std::string& line :
             BuildSummary(package_.info, package_.groups, folders_, state_.selection)) {
            log_.ProgressLine(line);
        }
        view_.CaretToStart(kProgressBox);
        if (services_.checkSensitiveFunctions) {
            services_.checkSensitiveFunctions();
        }
        ShowPage(kPageInstall, kMaskHelp | kMaskRun | kMaskPrevious | kMaskCancel);
    }
    FocusNow(kProgressHeading);
    SetPending(kProgressBox);
    state_.focus.pageFocus = kProgressBox;
    MarkPageInUse(kPageInstall);
}

void Wizard::ShowLogPage() {
    ShowPage(kPageLog, kMaskPrevious);
    state_.focus.pageFocus = kLogBox;
    FocusNow(kLogBox);
    view_.SetTitle("Vuni - Log");
}

void Wizard::ReturnToPageInUse() {
    switch (state_.pageInUse) {
    case kPageWelcome:
        ShowWelcome();
        break;
    case kPageOperation:
        CommitOperation(state_.selection, view_.SelectedItem(kOperationChooser));
        ShowOperation();
        break;
    case kPageFolder:
        CommitFolderFromView();
        ShowFolder(false);
        break;
    case kPageGroup:
        ShowGroup();
        break;
    case kPageFiles:
        ShowFiles();
        break;
    case kPageInstall:
        ShowInstall();
        break;
    default:
        log_.LogLine("! Error, MemPageInUse = " + Decimal(state_.pageInUse));
        ShowLogPage();
        return;
    }
    view_.SetTitle(WizardTitle());
}

void Wizard::Next() {
    switch (state_.currentPage) {
    case kPageWelcome:
        ShowOperation();
        break;
    case kPageOperation:
        CommitOperation(state_.selection, view_.SelectedItem(kOperationChooser));
        ShowFolder(true);
        break;
    case kPageFolder: {
        CommitFolderFromView();
        const int chosen = state_.selection.chosenFolder;
        if (chosen >= 0 && static_cast<size_t>(chosen) < folders_.size() &&
            folders_[static_cast<size_t>(chosen)].kind == SharedSettings) {
            view_.ShowMessage("Info",
                              "Vous avez selectionné un dossier de paramètres partagés.\nLes "
                              "modifications vont affecter les fonctionnalités \n de tous les "
                              "utilisateurs de cet ordinateur !",
                              MessageKind::Info);
        }
        RebuildGroupChoices();
        if (package_.groups.size() > 1) {
            ShowGroup();
        } else if (SelectGroupFromView()) {
            ShowFiles();
        }
        break;
    }
    case kPageGroup:
        if (SelectGroupFromView()) {
            ShowFiles();
        }
        break;
    case kPageFiles:
        ReadRowsFromView();
        ShowInstall();
        break;
    default:
        break;
    }
}

void Wizard::Previous() {
    switch (state_.currentPage) {
    case kPageInstall:
        if (!state_.operationDone) {
            ShowFiles();
        }
        break;
    case kPageFiles:
        if (package_.groups.size() > 1) {
            ShowGroup();
        } else {
            ShowFolder(false);
        }
        break;
    case kPageGroup:
        ShowFolder(false);
        break;
    case kPageFolder:
        CommitFolderFromView();
        ShowOperation();
        break;
    case kPageOperation:
        CommitOperation(state_.selection, view_.SelectedItem(kOperationChooser));
        ShowWelcome();
        break;
    case kPageViewer:
    case kPageLog:
        ReturnToPageInUse();
        break;
    default:
        break;
    }
}

} // namespace vuni
