#include "testing/package_builder.h"

#include "package/package_writer.h"

namespace vuni::testing {

TestPackage SamplePackage() {
    TestPackage p;
    p.info.date = 1700000000;
    p.info.applicationName = "MonAppli";
    p.info.applicationVersion = "1.2";
    p.info.recommendedCompanion = "Windows 10";
    p.info.recommendedJawsVersion = "11";
    p.info.scriptSetName = "MonAppliScripts";
    p.info.scriptSetVersion = "2.1";
    p.info.author = "Élodie Auteur";
    p.info.contact = "elodie@example.org";
    p.info.creationText = "vunipack";
    p.info.flags = 0;
    p.groups = {{"10", "MonAppli;monappli"}};
    TestFile a;
    a.sourceName = "MonAppli.jss";
    a.flags = EntryCompilable;
    a.content = "Script Hello ()\r\n  SayString (\"Élève\")\r\nEndScript\r\n";
    TestFile b;
    b.sourceName = "MonAppli.jsm";
    b.compileOrder = 0;
    b.flags = EntryOptional;
    b.content = "const x = 1\r\n";
    p.files = {a, b};
    return p;
}

std::string BuildInstallerBytes(const TestPackage& package) {
    std::string body;
    PackageWriter writer([&body](const void* data, size_t size) {
        body.append(static_cast<const char*>(data), size);
        return true;
    });
    for (const TestFile& f : package.files) {
        PackageEntry e;
        e.sourceName = f.sourceName;
        e.destination = f.destination;
        e.groupIndex = f.groupIndex;
        e.compileOrder = f.compileOrder;
        e.plainSize = static_cast<int32_t>(f.content.size());
        e.flags = f.flags;
        writer.WriteEntry(e, f.useOverride ? f.storedOverride : f.content);
    }
    std::string out = package.stub;
    if (package.sealed) {
        out += SealedHeader(package.info, package.groups,
                            static_cast<int32_t>(package.files.size()), body);
    } else {
        PackageWriter header([&out](const void* data, size_t size) {
            out.append(static_cast<const char*>(data), size);
            return true;
        });
        header.WriteHeader(package.info, package.groups);
    }
    return out + body;
}

} // namespace vuni::testing
