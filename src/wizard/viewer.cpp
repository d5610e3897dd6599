// Help and the internal file viewer, both on the Viewer page.
#include "log/log.h"
#include "package/package.h"
#include "wizard/controls.h"
#include "wizard/help.h"
#include "wizard/wizard.h"

namespace vuni {

using namespace ctl;

void Wizard::ShowViewerPage() {
    ShowPage(kPageViewer, kMaskPrevious);
    FocusNow(kViewerBox);
    state_.focus.pageFocus = kViewerBox;
}

void Wizard::ShowHelp() {
    view_.SetText(kViewerBox, "");
    view_.SetTitle("Vuni - Aide ");
    view_.SetText(kViewerBox, HelpForPage(state_.pageInUse));
    view_.SetText(kViewerCaption, "Source");
    view_.SetText(kViewerName, "Aide logicielle");
    ShowViewerPage();
}

void Wizard::ShowFile(int entryIndex) {
    view_.SetText(kViewerBox, "");
    bool ok = entryIndex >= 0 && static_cast<size_t>(entryIndex) < package_.entries.size();
    if (ok) {
        const PackageEntry& entry = package_.entries[static_cast<size_t>(entryIndex)];
        view_.SetTitle("Vuni - Visualisation de fichier");
        view_.SetText(kViewerCaption, "Fichier interne :");
        view_.SetText(kViewerName, entry.sourceName);
        const auto content = ExtractEntryContent(package_, host_, log_, entryIndex, false);
        ok = content.has_value();
        if (ok) {
            view_.SetText(kViewerBox, ViewerText(content->data(), content->size()));
        }
    }
    if (!ok) {
        view_.ShowMessage("Erreur", "Impossible d'accéder au fichier !", MessageKind::Error);
        ReturnToPageInUse();
        return;
    }
    ShowViewerPage();
}

} // namespace vuni
