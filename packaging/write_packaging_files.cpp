// Writes the files that packaging installs beside the programs, all made from
// quillon-cli's option table so that they never drift from --help:
//   quillon-packaging-files OUTPUT_DIR VERSION HELP_PAGE
// gives quillon-cli.1 and quillon.1 (man pages), quillon-cli.bash (bash
// completion) and _quillon-cli (zsh completion) in OUTPUT_DIR.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "completion_scripts.h"
#include "man_pages.h"

namespace {

bool writeFile(const std::filesystem::path& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
    file.close();
    if (!file) std::fprintf(stderr, "quillon-packaging-files: cannot write %s\n", path.c_str());
    return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace quillon::packaging;
    if (argc != 4) {
        std::fputs("usage: quillon-packaging-files OUTPUT_DIR VERSION HELP_PAGE\n", stderr);
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    const bool written = writeFile(dir / "quillon-cli.1", cliManPage(argv[2])) &&
                         writeFile(dir / "quillon.1", dialogManPage(argv[2], argv[3])) &&
                         writeFile(dir / "quillon-cli.bash", bashCompletion()) &&
                         writeFile(dir / "_quillon-cli", zshCompletion());
    return written ? 0 : 1;
}
