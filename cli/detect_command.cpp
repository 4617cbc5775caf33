#include "detect_command.h"

#include <cstdio>

#include "source_detection.h"

namespace quillon::cli {

int runDetect(const std::vector<std::string>& files) {
    int status = 0;
    for (const std::string& path : files) {
        const auto description = unicode::describeSource(path.c_str());
        if (!description) {
            std::fprintf(stderr, "quillon-cli: %s: cannot be read\n", path.c_str());
            status = 2;
            continue;
        }
        std::printf("%s\t%s\t%s\t%s\n", path.c_str(), description->encoding.c_str(),
                    unicode::nameOf(description->form), unicode::nameOf(description->lineEnds));
    }
    if (std::fflush(stdout) != 0) status = 2;
    return status;
}

}  // namespace quillon::cli
