#pragma once

#include <string>

#include <quillon/quillon.h>

namespace quillon::api {

// How a run's messages name its files: the paths the user gave, or words
// for text the library spooled itself.
struct FileNames {
    std::string source;
    std::string destination;
};

// One run of the engine from `source` to `destination` by path; throws
// Error when it gives no usable output.
Result runPaths(Task task, const Options& options, const char* source, const char* destination,
                const FileNames& names);

}  // namespace quillon::api
