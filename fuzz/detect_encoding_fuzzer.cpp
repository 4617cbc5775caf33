// detectEncoding over arbitrary file contents: it always succeeds with one of
// the four profile ids, and a file with no byte above 7F is plain ASCII.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "invariant.h"
#include "temp_files.h"
#include "text_formatter.h"

namespace {

using namespace quillon;
using fuzz::require;

bool isPlainAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char byte) { return static_cast<unsigned char>(byte) < 0x80; });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const testing::TempDir folder;
    static const std::string source = folder.file("source.txt");
    // Detection keeps nothing between calls: one formatter for every input.
    static TextFormatter formatter;

    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    testing::writeFile(source, bytes);
    std::int32_t result = -1;
    require(formatter.detectEncoding(source.c_str(), result) == kSuccess,
            "detectEncoding succeeds on a readable file");
    require(result == kGbId || result == kGbkId || result == kBig5Id || result == kPureAscId,
            "the detected encoding is GB, GBK, Big5 or PureASC");
    if (isPlainAscii(bytes)) require(result == kPureAscId, "a plain-ASCII file is PureASC");
    return 0;
}
