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
        package_.currentEntry = entryIndex;
        const int64_t got = LoadFileRange(package_, host_, log_, package_.ownPath, entry.storedSize,
                                          entry.dataOffset);
        // A short read (a truncated program file) would decode into garbage.
        ok = got != 0 && (entry.storedSize == 0 || got == entry.storedSize) &&
             DecodeEntryData(package_, entry.plainSize, entry.storedSize);
        if (ok) {
            const size_t size =
                std::min(static_cast<size_t>(entry.plainSize), package_.workBuffer.Size());
            view_.SetText(kViewerBox, ViewerText(package_.workBuffer.Data(), size));
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
