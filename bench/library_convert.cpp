// A convert run through libquillon, as a program embedding the library makes
// it: from file to file by path, or in memory (the source read whole,
// converted by the buffer API, and written out). In memory it prints the CPU
// seconds of the call alone, apart from the program's reading and writing.
//   quillon_library_convert files|memory FROM TO SOURCE DESTINATION
#include <sys/resource.h>

#include <quillon/quillon.h>

#include <fstream>
#include <iomanip>
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

// The CPU seconds this process has used, user and system.
double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& time) { return double(time.tv_sec) + double(time.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

quillon::api::Result inMemory(const char* source, const char* destination, const quillon::api::Options& options) {
    const std::string input = readWhole(source);
    quillon::api::Result result;
    const double before = cpuSeconds();
    const std::string output = quillon::api::convert(input, options, &result);
    std::cout << std::fixed << std::setprecision(3) << cpuSeconds() - before << '\n';
    writeWhole(destination, output);
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string_view mode = argc == 6 ? argv[1] : "";
    if (mode != "files" && mode != "memory") {
        std::cerr << "usage: quillon_library_convert files|memory FROM TO SOURCE DESTINATION\n";
        return 2;
    }
    quillon::api::Options options;
    options.from = argv[2];
    options.to = argv[3];
    try {
        const quillon::api::Result result =
            mode == "files" ? quillon::api::runFile(quillon::api::Task::Convert, argv[4], argv[5], options)
                            : inMemory(argv[4], argv[5], options);
        return result.warnings.empty() ? 0 : 1;
    } catch (const quillon::api::Error& error) {
        std::cerr << error.what() << '\n';
        return 2;
    }
}
