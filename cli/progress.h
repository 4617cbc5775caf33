#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace quillon::cli {

// A one-line display of a batch's progress on standard error: files done and
// total, bytes, rate and the current file. It shows only on a terminal, and
// only once the work has taken longer than a second.
class ProgressLine {
public:
    ProgressLine(std::size_t files, bool wanted);
    ~ProgressLine() { clear(); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void update(std::size_t filesDone, std::uintmax_t bytesDone, const std::string& current);
    // Takes the line away, so that a message can be printed in its place.
    void clear();

private:
    std::size_t files_;
    bool enabled_;
    bool shown_ = false;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace quillon::cli
