#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <quillon/quillon.h>

namespace quillon::cli {

// One file of a batch: where it is read and written, or why it is not run.
struct BatchItem {
    std::string source;
    std::string destination;  // the source itself in place
    std::string problem;      // a message naming the file: the item fails with it
    std::string note;         // a message naming the entry: the item is skipped
    std::uintmax_t size = 0;
};

// The files the sources name, in a fixed order: each SOURCE in turn and, with
// --recursive, the regular files under a folder in name order. Symbolic links
// inside a folder are not followed, so the walk never leaves the tree. In
// place, a file named twice (by any path) and a backup that would take the
// name of another source are refused before anything is written.
std::vector<BatchItem> planBatch(const std::vector<std::string>& sources, const api::CommandLine& options);

}  // namespace quillon::cli
