#include "merge_command.h"

#include "line_diff.h"
#include "merge/default_jss.h"
#include "merge/merge_pass.h"
#include "text/text.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

namespace vuni {

namespace {

constexpr const char* kUsage =
    "usage: vunipack merge --default DEFAULT.JSS --merge-file FILE --as INSTALLED-PATH\n"
    "                      [--merge-file FILE2 --as PATH2 ...] [--remove] (-o OUT | --diff)\n"
    "\n"
    "Applies each merge file in turn to the default script, as the installer does when the\n"
    "merge file is installed at INSTALLED-PATH (a Windows path: it gives the default tag and\n"
    "the name of the include line), and writes the result to OUT. With --remove the earlier\n"
    "additions of each merge file are only taken out. With --diff the result is shown as a\n"
    "unified diff against DEFAULT.JSS (line ends aside) instead of, or besides, being written.\n"
    "Exit codes: 0 done, 1 unreadable input or unwritable output, 2 usage, 3 conflict with\n"
    "another package (OUT is not written; the report goes to the error output).\n";

struct MergeInput {
    std::string file;
    std::string installedPath; // Windows-1252
    bool hasPath = false;
};

struct Options {
    std::string defaultFile;
    std::vector<MergeInput> merges;
    bool remove = false;
    bool diff = false;
    std::string out;
};

// Texts of this system are Windows-1252; the terminal of a Linux machine reads UTF-8.
std::string ForConsole(const std::string& text) {
#ifdef _WIN32
    return text;
#else
    return Cp1252ToUtf8(text);
#endif
}

bool FromCommandLine(const std::string& arg, std::string& out) {
#ifdef _WIN32
    out = arg;
    return true;
#else
    return Utf8ToCp1252(arg, out);
#endif
}

int Usage(const std::string& problem) {
    std::cerr << "vunipack merge: " << problem << "\n" << kUsage;
    return 2;
}

bool ReadFile(const std::string& path, std::string& out) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    if (!in) {
        return false;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) {
        return false;
    }
    out = bytes.str();
    return true;
}

// Writes a temporary file beside path, then puts it in place.
bool WriteFileReplacing(const std::string& path, const std::string& bytes) {
    const std::filesystem::path target = std::filesystem::path(path);
    std::filesystem::path temporary = target;
    temporary += ".vuni-new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out || !out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) ||
            !out.flush()) {
            std::error_code ec;
            std::filesystem::remove(temporary, ec);
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temporary, target, ec);
    if (ec) {
        std::filesystem::remove(temporary, ec);
        return false;
    }
    return true;
}

// 0 when the options are complete, else the exit code to return (usage or help).
int ParseOptions(const std::vector<std::string>& args, Options& o, bool& help) {
    help = false;
    for (size_t k = 0; k < args.size(); ++k) {
        const std::string& a = args[k];
        if (a == "--help" || a == "-h") {
            help = true;
            return 0;
        }
        if (a == "--remove" || a == "--diff") {
            (a == "--remove" ? o.remove : o.diff) = true;
            continue;
        }
        if (a != "--default" && a != "--merge-file" && a != "--as" && a != "-o") {
            return Usage("unknown argument '" + a + "'");
        }
        if (k + 1 >= args.size()) {
            return Usage(a + " needs a value");
        }
        const std::string& value = args[++k];
        if (a == "--default") {
            o.defaultFile = value;
        } else if (a == "-o") {
            o.out = value;
        } else if (a == "--merge-file") {
            o.merges.push_back({value, {}, false});
        } else {
            if (o.merges.empty() || o.merges.back().hasPath) {
                return Usage("--as must follow its --merge-file");
            }
            if (!FromCommandLine(value, o.merges.back().installedPath)) {
                return Usage("the installed path '" + value + "' is not Windows-1252 text");
            }
            o.merges.back().hasPath = true;
        }
    }
    if (o.defaultFile.empty()) {
        return Usage("--default is missing");
    }
    if (o.out.empty() && !o.diff) {
        return Usage("-o or --diff is needed");
    }
    if (o.merges.empty()) {
        return Usage("at least one --merge-file is needed");
    }
    for (const MergeInput& m : o.merges) {
        if (!m.hasPath) {
            return Usage("--merge-file " + m.file + " has no --as");
        }
    }
    return 0;
}

} // namespace

int RunMergeCommand(const std::vector<std::string>& args) {
    Options options;
    bool help = false;
    if (const int code = ParseOptions(args, options, help); code != 0) {
        return code;
    }
    if (help) {
        std::cout << kUsage;
        return 0;
    }
    std::string bytes;
    if (!ReadFile(options.defaultFile, bytes)) {
        std::cerr << "vunipack merge: cannot read " << options.defaultFile << "\n";
        return 1;
    }
    const std::string original = bytes;
    JssText jss(std::move(bytes));
    std::string report;
    for (const MergeInput& m : options.merges) {
        std::string content;
        if (!ReadFile(m.file, content)) {
            std::cerr << "vunipack merge: cannot read " << m.file << "\n";
            return 1;
        }
        MergeFile file;
        ParseMergeContent(file, m.installedPath, content);
        PrepareJssText(jss, file.tag);
        if (!options.remove) {
            std::string conflicts;
            MergeIntoJssText(jss, file, conflicts);
            report += conflicts;
        }
    }
    if (!report.empty()) {
        std::cerr << ForConsole(report);
        return 3;
    }
    const std::string merged = SavedJssBytes(jss.Text());
    if (options.diff) {
        std::cout << ForConsole(pack::UnifiedDiff(original, merged, options.defaultFile,
                                                  options.defaultFile + " (merged)"));
    }
    if (!options.out.empty() && !WriteFileReplacing(options.out, merged)) {
        std::cerr << "vunipack merge: cannot write " << options.out << "\n";
        return 1;
    }
    return 0;
}

} // namespace vuni
