#include "wizard/controls.h"

#include <algorithm>

namespace vuni::ctl {
namespace {

using T = ControlType;

// clang-format off
constexpr ControlSpec kTable[] = {
    {kPageWelcome, 0, T::Panel, "", 10, 10, 580, 415},
    {kScriptLabel, kPageWelcome, T::StaticRight, "Script ", 0, 135, 145, 24},
    {kScriptField, kPageWelcome, T::ReadOnlyField, "", 145, 135, 430, 24},
    {kAuthorLabel, kPageWelcome, T::StaticRight, "Auteur ", 0, 162, 145, 24},
    {kAuthorField, kPageWelcome, T::ReadOnlyField, "", 145, 162, 430, 24},
    {kContactLabel, kPageWelcome, T::StaticRight, "Contact ", 0, 189, 145, 24},
    {kContactField, kPageWelcome, T::ReadOnlyField, "", 145, 189, 430, 24},
    {kRecommendedLabel, kPageWelcome, T::StaticRight, "Recommandé ", 0, 216, 145, 24},
    {kRecommendedField, kPageWelcome, T::ReadOnlyField, "", 145, 216, 430, 24},
    {kWelcomeText, kPageWelcome, T::StaticCentre, "", 0, 0, 580, 108},
    {kAuthorSiteButton, kPageWelcome, T::Button, "Site de l'auteur", 0, 307, 193, 27},
    {kApplicationSiteButton, kPageWelcome, T::Button, "Site de l'application", 387, 307, 193, 27},
    {kUpdateButton, kPageWelcome, T::Button, "Vérifier si il existe une nouvelle version", 0, 361, 580, 27},

    {kPageOperation, 0, T::Panel, "", 10, 10, 580, 415},
    {kOperationHeading, kPageOperation, T::StaticLeft, "Sélectioner une action à réaliser : ", 0, 0, 580, 27},
    {kOperationChooser, kPageOperation, T::DropDown, "", 0, 27, 580, 24},
    {kRestartCheckBox, kPageOperation, T::CheckBox, "Redémarer Jaws en fin d'opération", 0, 81, 580, 27},

    {kPageFolder, 0, T::Panel, "", 10, 10, 580, 415},
    {kSharedCheckBox, kPageFolder, T::CheckBox, "Ajouter les dossier des \"paramètres partagés\" à la liste", 0, 0, 580, 27},
    {kFolderHeading, kPageFolder, T::StaticLeft, "", 0, 27, 580, 27},
    {kFolderChooser, kPageFolder, T::DropDown, "", 0, 54, 580, 24},
    {kLanguageLabel, kPageFolder, T::StaticLeft, "Sélectionner la langue de jaws", 0, 81, 580, 27},
    {kLanguageChooser, kPageFolder, T::DropDown, "", 0, 108, 580, 24},
    {kFreeFolderLabel, kPageFolder, T::StaticLeft, "Choix du dossier : ", 0, 135, 580, 27},
    {kFreeFolderField, kPageFolder, T::ReadOnlyFieldBorder, "", 0, 162, 430, 24},
    {kBrowseButton, kPageFolder, T::Button, "Parcourir", 440, 162, 135, 24},

    {kPageGroup, 0, T::Panel, "", 10, 10, 580, 415},
    {kGroupExplanation, kPageGroup, T::StaticLeft,
     "Des différences de comportements et de fonctionnalitées obligent parfois l'auteur à "
     "concevoir des groupes de scripts spécifiques à des versions de JAWS.\nSi aucune version "
     "de groupe de script ne correspondent à la version de votre logiciel JAWS, vous pouvez "
     "essayé de sélectionner celle imédiatement inférieure.", 0, 0, 580, 81},
    {kGroupLabel, kPageGroup, T::StaticLeft, "Sélectionner un groupe de fichier script pour :", 0, 108, 580, 24},
    {kGroupChooser, kPageGroup, T::DropDown, "", 0, 135, 580, 24},

    {kPageFiles, 0, T::Panel, "", 10, 10, 580, 415},
    {kContextMenuButton, kPageFiles, T::Button, "Afficher menu contextuel", 145, 0, 290, 24},
    {kFilesHeading, kPageFiles, T::StaticLeft, "Liste des fichiers à installer", 0, 32, 580, 24},
    {kFileList, kPageFiles, T::FileList, "", 0, 54, 580, 270},
    {kAliasLabel, kPageFiles, T::StaticRight, "Alias ", 0, 324, 290, 24},
    {kAliasField, kPageFiles, T::EditField, "", 290, 324, 290, 24},

    {kPageInstall, 0, T::Panel, "", 10, 10, 580, 415},
    {kProgressHeading, kPageInstall, T::StaticLeft, "Déroulement des opérations : ", 0, 0, 580, 27},
    {kProgressBox, kPageInstall, T::TextBox, "", 0, 27, 580, 361},

    {kPageViewer, 0, T::Panel, "", 10, 10, 580, 415},
    {kViewerCaption, kPageViewer, T::StaticRight, "", 0, 0, 100, 27},
    {kViewerName, kPageViewer, T::ReadOnlyFieldBorder, "", 100, 0, 480, 27},
    {kViewerBox, kPageViewer, T::TextBox, "", 0, 27, 580, 388},

    {kPageLog, 0, T::Panel, "", 10, 10, 580, 415},
    {kLogBox, kPageLog, T::TextBox, "", 0, 0, 580, 388},

    {kRunButton, 0, T::Button, "Installer", 480, 425, 110, 25},
    {kNextButton, 0, T::Button, "&Suivant", 480, 425, 110, 25},
    {kHelpButton, 0, T::Button, "Aide", 10, 425, 110, 25},
    {kPreviousButton, 0, T::Button, "&Précédent", 330, 425, 110, 25},
    {kCancelButton, 0, T::Button, "Annuler", 170, 425, 110, 25},
};
// clang-format on

} // namespace

std::span<const ControlSpec> ControlTable() {
    return kTable;
}

const ControlSpec* FindControl(int number) {
    const auto* it = std::find_if(std::begin(kTable), std::end(kTable),
                                  [number](const ControlSpec& c) { return c.number == number; });
    return it == std::end(kTable) ? nullptr : it;
}

int PanelOf(int number) {
    const ControlSpec* entry = FindControl(number);
    return entry == nullptr ? 0 : entry->parent;
}

bool IsWizardPage(int page) {
    return page == kPageWelcome || page == kPageOperation || page == kPageFolder ||
           page == kPageGroup || page == kPageFiles || page == kPageInstall;
}

bool IsMultiLineBox(int number) {
    return number == kProgressBox || number == kViewerBox || number == kLogBox;
}

} // namespace vuni::ctl
