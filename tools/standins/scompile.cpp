// Stand-in for the screen reader's script compiler: "scompile.exe SOURCE".
//
// Exit code 0 when SOURCE can be read and its blocks balance; the compiled file is then
// written beside it, with the extension .jsb. Exit codes otherwise: 1 unbalanced blocks,
// 2 no argument or SOURCE unreadable, 3 the compiled file cannot be written. Every call
// appends "source|working folder|exit code" to scompile.journal beside this program.
#include "jaws/host_items.h"
#include "script_balance.h"
#include "standin_support.h"

#include <cstdio>
#include <string>

namespace {

using namespace vuni;

bool ReadAll(const std::string& path, std::string& out) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) {
        return false;
    }
    char buffer[65536];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
        out.append(buffer, n);
    }
    const bool ok = std::ferror(f) == 0;
    std::fclose(f);
    return ok;
}

std::string CompiledName(const std::string& source) {
    const size_t sep = source.find_last_of("\\/");
    const size_t dot = source.rfind('.');
    const bool hasExtension = dot != std::string::npos && (sep == std::string::npos || dot > sep);
    return (hasExtension ? source.substr(0, dot) : source) + kCompiledScriptExtension;
}

int Compile(const std::string& source) {
    std::string text;
    if (source.empty() || !ReadAll(source, text)) {
        return 2;
    }
    if (!standin::BlocksBalance(text)) {
        return 1;
    }
    std::FILE* out = std::fopen(CompiledName(source).c_str(), "wb");
    if (out == nullptr) {
        return 3;
    }
    const std::string compiled = "JSB stand-in\n" + std::to_string(text.size()) + "\n";
    const bool ok = std::fwrite(compiled.data(), 1, compiled.size(), out) == compiled.size();
    return std::fclose(out) == 0 && ok ? 0 : 3;
}

} // namespace

int main(int argc, char** argv) {
    const std::string source = argc > 1 ? argv[1] : "";
    const int result = Compile(source);
    standin::AppendLine(standin::OwnFolder() + standin::kScompileJournal,
                        standin::MachinePath(source) + "|" +
                            standin::MachinePath(standin::CurrentFolder()) + "|" +
                            std::to_string(result));
    return result;
}
