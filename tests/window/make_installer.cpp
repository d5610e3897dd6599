// Writes an installer for the window tests: the given program image followed by the
// sample package of the test helpers. Usage: make_installer <stub.exe> <installer.exe>
#include "testing/package_builder.h"

#include <fstream>
#include <iostream>
#include <iterator>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: make_installer <stub.exe> <installer.exe>\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << "cannot read " << argv[1] << "\n";
        return 1;
    }
    vuni::testing::TestPackage package = vuni::testing::SamplePackage();
    package.stub.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    const std::string bytes = vuni::testing::BuildInstallerBytes(package);
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::cerr << "cannot write " << argv[2] << "\n";
        return 1;
    }
    return 0;
}
