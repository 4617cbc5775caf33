// Writes SIZE megabytes (10^6 bytes) of GB2312 prose to PATH: paragraphs of
// lines of 20 to 80 hanzi from rows B0..F7, with commas, enumeration commas,
// colons, quotes and sentence ends, always the same text for the same size.
//   quillon_make_gb_text SIZE PATH
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// Small and fast; the text only has to look varied, not be random.
class SplitMix {
public:
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15u);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
        return z ^ (z >> 31);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }

private:
    std::uint64_t state_ = 20240601;
};

void putCode(std::string& out, unsigned code) {
    out += static_cast<char>(code >> 8);
    out += static_cast<char>(code & 0xFF);
}

// A hanzi of GB2312, mostly of level 1 (rows B0..D7, the common ones) as in
// real prose, else of level 2 (rows D8..F7); row D7 stops at F9.
void putHanzi(std::string& out, SplitMix& random) {
    const unsigned lead = random.below(8) != 0 ? 0xB0 + random.below(0xD7 - 0xB0 + 1)
                                               : 0xD8 + random.below(0xF7 - 0xD8 + 1);
    const unsigned lastTrail = lead == 0xD7 ? 0xF9 : 0xFE;
    putCode(out, lead << 8 | (0xA1 + random.below(static_cast<int>(lastTrail - 0xA1 + 1))));
}

constexpr unsigned kComma = 0xA3AC, kEnumerationComma = 0xA1A2, kColon = 0xA3BA;
constexpr unsigned kOpenQuote = 0xA1B0, kCloseQuote = 0xA1B1, kBlank = 0xA1A1;
constexpr unsigned kSentenceEnds[] = {0xA1A3, 0xA1A3, 0xA1A3, 0xA3A1, 0xA3BF};  // 。。。！？

// One line of 20..80 hanzi; a paragraph's first line is indented with two
// full-width blanks.
void putLine(std::string& out, SplitMix& random, bool firstOfParagraph) {
    if (firstOfParagraph) {
        putCode(out, kBlank);
        putCode(out, kBlank);
    }
    const int hanzi = 20 + random.below(61);
    bool quoted = false;
    int sinceMark = 0;
    for (int i = 0; i < hanzi; ++i) {
        putHanzi(out, random);
        if (++sinceMark < 4 || i + 1 == hanzi) continue;
        const int pick = random.below(40);
        if (pick < 6) {
            putCode(out, kComma);
        } else if (pick < 7) {
            putCode(out, kEnumerationComma);
        } else if (pick < 8 && !quoted) {
            putCode(out, kColon);
            putCode(out, kOpenQuote);
            quoted = true;
        } else if (pick < 10) {
            if (quoted) putCode(out, kCloseQuote);
            quoted = false;
            putCode(out, kSentenceEnds[random.below(5)]);
        } else {
            continue;
        }
        sinceMark = 0;
    }
    putCode(out, kSentenceEnds[random.below(5)]);
    if (quoted) putCode(out, kCloseQuote);
    out += '\n';
}

}  // namespace

int main(int argc, char** argv) {
    long megabytes = 0;
    const char* sizeText = argc == 3 ? argv[1] : "";
    const auto [end, error] = std::from_chars(sizeText, sizeText + std::strlen(sizeText), megabytes);
    if (argc != 3 || error != std::errc() || *end != '\0' || megabytes <= 0) {
        std::fprintf(stderr, "usage: quillon_make_gb_text SIZE_MB PATH\n");
        return 2;
    }
    std::FILE* file = std::fopen(argv[2], "wb");
    if (file == nullptr) {
        std::perror(argv[2]);
        return 2;
    }
    const long long target = megabytes * 1000000LL;
    long long written = 0;
    SplitMix random;
    std::string chunk;
    while (written < target) {
        chunk.clear();
        while (chunk.size() < (1u << 20)) {
            const int lines = 1 + random.below(6);
            for (int i = 0; i < lines; ++i) putLine(chunk, random, i == 0);
            if (random.below(3) == 0) chunk += '\n';  // some paragraphs are set apart
        }
        // Ends on a whole line, at or just past the target size.
        if (written + static_cast<long long>(chunk.size()) > target) {
            const std::size_t lineEnd = chunk.find('\n', static_cast<std::size_t>(target - written));
            chunk.resize(lineEnd == std::string::npos ? chunk.size() : lineEnd + 1);
        }
        if (std::fwrite(chunk.data(), 1, chunk.size(), file) != chunk.size()) break;
        written += static_cast<long long>(chunk.size());
    }
    if (std::fclose(file) != 0 || written < target) {
        std::perror(argv[2]);
        return 2;
    }
    return 0;
}
