#include "wizard/help.h"

#include "text/text.h"
#include "wizard/controls.h"

#include <cstring>

namespace vuni {

namespace {

// Sections: 1 about the program, 2 the welcome page (not offered by any page), then one per
// page from Operation to Install. Each starts with a blank and its title.
const char* const kHelp =
    " Vuni, assistant d'installation de scripts\r\n"
    "\r\n"
    "Cet assistant installe un ensemble de scripts pour la revue d'écran JAWS. Il vous "
    "conduit de page en page : choix de l'action, du dossier de destination, du groupe de "
    "scripts et des fichiers, puis exécution. Passez d'une page à l'autre avec les boutons "
    "Suivant (Alt+S ou Entrée) et Précédent (Alt+P). La touche F1 affiche l'aide de la page "
    "en cours et Alt+F1 le journal technique de l'assistant.\r\n"
    "\r\n"
    "Licence : ce programme est fourni gratuitement, tel quel, sans aucune garantie. Vous "
    "pouvez l'utiliser et le redistribuer librement, sans le modifier. Les scripts qu'il "
    "installe restent la propriété de leur auteur et sont soumis à ses propres conditions."
    "¶"
    " Page d'accueil\r\n"
    "\r\n"
    "La page d'accueil présente les scripts : leur version, leur auteur, le moyen de le "
    "contacter et la version de JAWS recommandée. Selon les informations fournies par "
    "l'auteur, des boutons ouvrent son site ou celui de l'application, ou vérifient si une "
    "nouvelle version des scripts existe."
    "¶"
    " Page des Opérations\r\n"
    "\r\n"
    "Choisissez dans la liste l'action à réaliser :\r\n"
    "- Installer les fichiers : les fichiers sont installés selon les directives de l'auteur. "
    "Ils sont copiés, le fichier Default.JSS est mis à jour si besoin et les scripts sont "
    "compilés.\r\n"
    "- Installer les fichiers après la sauvegarde des anciens scripts : la même installation, "
    "mais tous les anciens fichiers remplacés sont d'abord sauvegardés dans le dossier "
    "\"Bak\".\r\n"
    "- Copier les fichiers dans un dossier : une simple copie des fichiers sélectionnés dans "
    "le dossier de votre choix, sans rien modifier dans JAWS.\r\n"
    "- Retirer l'association du Default.JSS : les fichiers installés et les ajouts faits au "
    "fichier \"Default.JSS\" sont retirés. Attention : les scripts sauvegardés dans le "
    "dossier \"Bak\" ne sont pas remis en place.\r\n"
    "La case à cocher permet de redémarrer JAWS à la fin de l'opération."
    "¶"
    " Page du dossier\r\n"
    "\r\n"
    "Choisissez dans la liste la version de JAWS dans laquelle travailler ; la version en "
    "fonctionnement est sélectionnée d'office. Avec la touche Tab, passez ensuite à la liste "
    "des langues et choisissez la langue de JAWS.\r\n"
    "Vous pouvez aussi choisir \"Choix d'un dossier\" puis désigner un dossier quelconque "
    "avec le bouton Parcourir.\r\n"
    "La case à cocher ajoute à la liste les dossiers des paramètres partagés. Attention : "
    "modifier ces dossiers change le fonctionnement de JAWS pour tous les utilisateurs de "
    "l'ordinateur."
    "¶"
    " Page des groupes de fichiers\r\n"
    "\r\n"
    "Les scripts peuvent différer selon la version de JAWS, la version de l'application ou "
    "celle du système, car leurs comportements et leurs fonctionnalités ne sont pas les "
    "mêmes. L'auteur a donc pu préparer plusieurs groupes de fichiers. Choisissez dans la "
    "liste le groupe qui correspond le mieux à votre configuration."
    "¶"
    " La page des fichiers :\r\n"
    "\r\n"
    "La liste présente les fichiers à traiter. Pour lire un fichier, ouvrez le menu "
    "contextuel avec la touche Applications et choisissez Visualiser. La barre d'espace coche "
    "ou décoche le fichier sélectionné, Ctrl+A les coche tous.\r\n"
    "Les fichiers obligatoires sont nécessaires à l'installation prévue par l'auteur. Les "
    "fichiers optionnels peuvent contenir des réglages ou des informations "
    "supplémentaires."
    "¶"
    " La page d'installation :\r\n"
    "\r\n"
    "Cette page résume les actions qui vont être réalisées. Le bouton d'action les lance, "
    "puis leur déroulement s'affiche sur la page. Lisez-le pour connaître le résultat de "
    "chaque étape.";

} // namespace

const std::string& HelpText() {
    static const std::string text = kHelp;
    return text;
}

std::string HelpSection(size_t n) {
    return Field(HelpText(), kHelpSectionMark, n);
}

std::string HelpForPage(int pageInUse) {
    switch (pageInUse) {
    case ctl::kPageOperation:
        return HelpSection(3);
    case ctl::kPageFolder:
        return HelpSection(4);
    case ctl::kPageGroup:
        return HelpSection(5);
    case ctl::kPageFiles:
        return HelpSection(6);
    case ctl::kPageInstall:
        return HelpSection(7);
    default:
        return "Pas d'aide sur cette page !";
    }
}

std::string ViewerText(const unsigned char* data, size_t size) {
    if (data == nullptr) {
        return "";
    }
    const void* zero = std::memchr(data, 0, size);
    const size_t length = zero == nullptr
                              ? size
                              : static_cast<size_t>(static_cast<const unsigned char*>(zero) - data);
    return std::string(reinterpret_cast<const char*>(data), length);
}

} // namespace vuni
