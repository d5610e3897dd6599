#include "merge/default_jss.h"

#include "jaws/host_items.h"
#include "log/log.h"
#include "merge/merge_pass.h"
#include "platform/host.h"
#include "text/text.h"

#include <cstring>

namespace vuni {

std::string SavedJssBytes(std::string_view text) {
    if (text.size() >= 2 && text[text.size() - 1] == '\n' && text[text.size() - 2] == '\n') {
        text.remove_suffix(1);
    }
    std::string out;
    out.reserve(text.size() + text.size() / 8 + 16);
    size_t r = 0;
    while (r < text.size()) {
        size_t lf = text.find('\n', r);
        if (lf == std::string_view::npos) {
            out.append(text.substr(r));
            break;
        }
        out.append(text.substr(r, lf - r));
        out.append("\r\n", 2);
        r = lf + 1;
    }
    return out;
}

bool JssMerger::LoadJssFile(const std::string& path) {
    auto file = host_.OpenRead(path);
    if (!file) {
        return false;
    }
    const int64_t size = file->Size();
    if (size < 0) {
        return false;
    }
    // One byte to spare: the preparation appends a line feed in place.
    std::string bytes;
    bytes.reserve(static_cast<size_t>(size) + 1);
    bytes.resize(static_cast<size_t>(size));
    int64_t done = 0;
    while (done < size) {
        const int64_t n = file->Read(bytes.data() + done, size - done);
        if (n <= 0) {
            return false;
        }
        done += n;
    }
    jss_.Assign(std::move(bytes));
    return true;
}

bool JssMerger::SaveJssFile(const std::string& path) {
    const std::string bytes = SavedJssBytes(jss_.Text());
    return host_.ReplaceFile(path, bytes.data(), bytes.size());
}

bool JssMerger::ParseMergeFile(const std::string& path, std::string_view content) {
    return vuni::ParseMergeFile(file_, host_, path, content);
}

void JssMerger::PrepareJssText(std::string_view tag) {
    vuni::PrepareJssText(jss_, tag);
}

void JssMerger::MergeIntoJssText() {
    vuni::MergeIntoJssText(jss_, file_, conflicts_);
}

bool JssMerger::UpdateDefaultJss(const MergeContext& context, bool removeMode) {
    const std::string path = context.destinationPath + kDefaultScript;
    log_.LogLine("* Search Merge Default.Jss");
    int associated = 0;
    int done = 0;
    int errors = 0;
    for (const MergeFileRow& row : context.rows) {
        if (context.entries == nullptr || row.entryIndex < 0 ||
            static_cast<size_t>(row.entryIndex) >= context.entries->size()) {
            continue;
        }
        const PackageEntry& entry = (*context.entries)[static_cast<size_t>(row.entryIndex)];
        if (entry.groupIndex != context.chosenGroup || (entry.flags & EntryAssociable) == 0) {
            continue;
        }
        if (++associated == 1) {
            log_.LogLine(" DefaultJSS = " + path);
            log_.ProgressLine("");
            log_.ProgressLine(removeMode ? "* Nettoyage du Default.Jss"
                                         : "* Mise à jour du Default.Jss");
            log_.ProgressLine("- Fichier Default.Jss");
            if (context.prepareSettingsFile && !context.prepareSettingsFile(path)) {
                log_.ProgressLine("! Fichier est inaccéssible");
                ++errors;
                break;
            }
            if (!LoadJssFile(path)) {
                log_.ProgressLine("! Erreur durant le chargement");
                ++errors;
                break;
            }
            log_.ProgressLine(" Fichier chargeé !");
        }
        log_.ProgressLine("- Fichier de mise à jour " + entry.sourceName);
        if (!row.checked || (entry.flags & EntryNoAssociation) != 0) {
            log_.ProgressLine(" Fichier désélectionné par l'utilisateur");
            continue;
        }
        const std::string folder = context.expandPlaceholders
                                       ? context.expandPlaceholders(entry.destination)
                                       : entry.destination;
        const std::string mergePath = folder + entry.sourceName;
        log_.LogLine(" MergeFile = " + mergePath);
        if (!ParseMergeFile(mergePath, {})) {
            log_.ProgressLine("! Fichier inaccéssible");
            ++errors;
            break;
        }
        log_.ProgressLine(" Fichier chargé !");
        PrepareJssText(file_.tag);
        if (removeMode) {
            log_.ProgressLine(" Nettoyage effectuée !");
            ++done;
            continue;
        }
        MergeIntoJssText();
        if (conflicts_.empty()) {
            log_.ProgressLine(" Mise à jour effectuée !");
            ++done;
        } else {
            ++errors;
            log_.ProgressLine(conflicts_);
        }
    }

    if (done > 0 && errors == 0) {
        log_.ProgressLine("- Enregistrement du Default.Jss");
        if (SaveJssFile(path)) {
            log_.ProgressLine(" Fichier enregistré !");
        } else {
            log_.ProgressLine("! Erreur durant l'enregistrement");
            ++errors;
            // The save never damages the file it replaces; a restore copy beside it is
            // still put back, by the same all-or-nothing replacement.
            const std::string backup = path + ".bak";
            std::string saved;
            if (host_.FileSize(backup) > 0 && host_.ReadWholeFile(backup, saved)) {
                host_.ReplaceFile(path, saved.data(), saved.size());
            }
        }
    }
    return associated == 0 || errors == 0;
}

void JssMerger::CheckSensitiveFunctions(const MergeContext& context) {
    bool found = false;
    for (const MergeFileRow& row : context.rows) {
        if (context.entries == nullptr || row.entryIndex < 0 ||
            static_cast<size_t>(row.entryIndex) >= context.entries->size()) {
            continue;
        }
        const PackageEntry& entry = (*context.entries)[static_cast<size_t>(row.entryIndex)];
        if (entry.groupIndex != context.chosenGroup || !row.checked ||
            (entry.flags & EntryAssociable) == 0) {
            continue;
        }
        std::string content;
        if (!context.extractToMemory || !context.extractToMemory(row.entryIndex, content)) {
            continue;
        }
        std::string report;
        if (ParseMergeFile({}, content)) {
            for (const MergeDirective& d : file_.directives) {
                if (d.kind == kKindAddEndFunction && Trim(Lower(d.target)) == "keypressedevent") {
                    report += "Function KeyPressedEvent\n";
                }
            }
        }
        if (!report.empty()) {
            found = true;
            log_.ProgressLine("");
            log_.ProgressLine("- Adaptation de fonctions sensible à la sécurité par " +
                              entry.sourceName);
            log_.ProgressLine(report);
        }
    }
    if (found && context.showMessage) {
        context.showMessage("Attention",
                            "Detection de l'utilisation de fonction sensible à la "
                            "sécurité.\nEtes-vous sur de l'intégrité de ces scripts ?");
    }
}

} // namespace vuni
