// Runs a fuzz target once over every file of the folders named on the command
// line, in name order, so that the seeds and the crash inputs kept in the
// repository are a test with any compiler. A missing folder counts as empty;
// finding no input at all is a failure.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::vector<std::filesystem::path> inputsIn(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> inputs;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        // Dot files are the repository's, not inputs.
        if (entry.is_regular_file() && !entry.path().filename().string().starts_with(".")) {
            inputs.push_back(entry.path());
        }
    }
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}

std::string contentsOf(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

int main(int argc, char** argv) {
    std::size_t replayed = 0;
    for (const char* folder : std::span(argv + 1, static_cast<std::size_t>(argc > 1 ? argc - 1 : 0))) {
        for (const auto& path : inputsIn(folder)) {
            // Named before it runs: a crash report then says which input it was.
            std::printf("%s\n", path.c_str());
            std::fflush(stdout);
            const std::string bytes = contentsOf(path);
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
            ++replayed;
        }
    }
    std::printf("%zu inputs replayed\n", replayed);
    return replayed > 0 ? 0 : 1;
}
