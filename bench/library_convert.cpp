// A convert run through libquillon, as a program embedding the library makes
// it: from file to file by path, or in memory (the source read whole,
// converted by the buffer API, and written out); or, to tell the reading and
// writing from the run, the same program with no run (the source read whole
// and written out as it is).
//   quillon_library_convert files|memory|copy FROM TO SOURCE DESTINATION
#include <quillon/quillon.h>

#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

namespace {

std::string readWhole(const char* source) {
    std::ifstream in(source, std::ios::binary | std::ios::ate);
    std::string input(std::size_t(in.tellg()), '\0');
    in.seekg(0).read(input.data(), std::streamsize(input.size()));
    return input;
}

void writeWhole(const char* destination, const std::string& output) {
    std::ofstream out(destination, std::ios::binary);
    if (!out.write(output.data(), std::streamsize(output.size())).flush()) {
        throw quillon::api::Error(quillon::api::Error::Kind::DestinationUnwritable, destination);
    }
}

quillon::api::Result inMemory(const char* source, const char* destination, const quillon::api::Options& options) {
    quillon::api::Result result;
    writeWhole(destination, quillon::api::convert(readWhole(source), options, &result));
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string_view mode = argc == 6 ? argv[1] : "";
    if (mode != "files" && mode != "memory" && mode != "copy") {
        std::cerr << "usage: quillon_library_convert files|memory|copy FROM TO SOURCE DESTINATION\n";
        return 2;
    }
    quillon::api::Options options;
    options.from = argv[2];
    options.to = argv[3];
    try {
        if (mode == "copy") {
            writeWhole(argv[5], readWhole(argv[4]));
            return 0;
        }
        const quillon::api::Result result =
            mode == "files" ? quillon::api::runFile(quillon::api::Task::Convert, argv[4], argv[5], options)
                            : inMemory(argv[4], argv[5], options);
        return result.warnings.empty() ? 0 : 1;
    } catch (const quillon::api::Error& error) {
        std::cerr << error.what() << '\n';
        return 2;
    }
}
