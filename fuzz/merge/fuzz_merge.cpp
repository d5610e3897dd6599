// Fuzzes the default-script scanner and the merge pass with (default script, merge file)
// pairs: the input is split at its first zero byte.
//
// Always: no crash, and the scan copy has the length of the text after preparation.
// Within the inputs where the insertion rules leave every added line on a line of its own
// and nothing of the script can swallow a marker (no strings, block comments or brackets in
// the script; block ends and returns first on their lines; plain tag and lines), merging
// then removing must give back exactly what preparation alone gives.
#include "merge/jss_text.h"
#include "merge/merge_pass.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

bool HasAny(std::string_view s, std::string_view chars) {
    return s.find_first_of(chars) != std::string_view::npos;
}

// Every occurrence of keyword in the scan copy starts a physical line.
bool KeywordsStartLines(const std::string& scan, std::string_view keyword) {
    for (size_t k = scan.find(keyword); k != std::string::npos; k = scan.find(keyword, k + 1)) {
        if (k > 0 && scan[k - 1] != '\n') {
            return false;
        }
    }
    return true;
}

bool RoundTripExpected(const vuni::JssText& prepared, const std::string& text,
                       const vuni::MergeFile& file) {
    if (HasAny(text, std::string_view("\"[]/*\x15", 6))) {
        return false;
    }
    for (const char* keyword : {"return", "endscript", "endfunction"}) {
        if (!KeywordsStartLines(prepared.Scan(), keyword)) {
            return false;
        }
    }
    const std::string_view unsafe("\"[];/*\x15", 7);
    if (HasAny(file.tag, unsafe)) {
        return false;
    }
    for (const vuni::MergeDirective& d : file.directives) {
        if (HasAny(d.line, unsafe)) {
            return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t split = input.find('\0');
    const std::string_view script = input.substr(0, split);
    const std::string_view merge =
        split == std::string_view::npos ? std::string_view() : input.substr(split + 1);

    vuni::MergeFile file;
    vuni::ParseMergeContent(file, "C:\\Fuzz\\Pack.vunimerge.jss", merge);

    vuni::JssText jss{std::string(script)};
    vuni::PrepareJssText(jss, file.tag);
    if (jss.Text().size() != jss.Scan().size()) {
        std::abort();
    }
    const std::string prepared = jss.Text();
    const bool check = RoundTripExpected(jss, prepared, file);

    std::string conflicts;
    vuni::MergeIntoJssText(jss, file, conflicts);
    vuni::PrepareJssText(jss, file.tag);
    if (jss.Text().size() != jss.Scan().size()) {
        std::abort();
    }
    if (check && jss.Text() != prepared + "\n") {
        std::abort();
    }
    return 0;
}
