// Runs encoding detection alone on a file and prints the profile id found:
//   quillon_detect FILE
#include <cstdio>

#include "text_formatter.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: quillon_detect FILE\n");
        return 2;
    }
    quillon::TextFormatter formatter;
    std::int32_t id = 0;
    if (formatter.detectEncoding(argv[1], id) != quillon::kSuccess) {
        std::perror(argv[1]);
        return 2;
    }
    std::printf("%d\n", static_cast<int>(id));
    return 0;
}
