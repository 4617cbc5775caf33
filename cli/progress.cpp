#include "progress.h"

#include <algorithm>
#include <cstdio>

#include <unistd.h>

#include "printable_text.h"

namespace quillon::cli {
namespace {

constexpr auto kQuietTime = std::chrono::seconds(1);
constexpr std::size_t kWidth = 79;

std::string megabytes(double bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MB", bytes / 1e6);
    return text;
}

}  // namespace

ProgressLine::ProgressLine(std::size_t files, bool wanted) : files_(files), enabled_(wanted && ::isatty(2)) {}

void ProgressLine::update(std::size_t filesDone, std::uintmax_t bytesDone, const std::string& currentName) {
    const auto elapsed = std::chrono::steady_clock::now() - start_;
    if (!enabled_ || elapsed < kQuietTime) return;
    const double seconds = std::chrono::duration<double>(elapsed).count();
    std::string line = std::to_string(filesDone) + "/" + std::to_string(files_) + " files, " +
                       megabytes(double(bytesDone)) + ", " + megabytes(double(bytesDone) / seconds) + "/s  ";
    // The end of a long name tells more than its start.
    const std::string current = printable(currentName);
    const std::size_t room = kWidth > line.size() ? kWidth - line.size() : 0;
    line += current.size() <= room ? current : "..." + current.substr(current.size() - room + std::min<std::size_t>(room, 3));
    std::fprintf(stderr, "\r\033[K%s", line.c_str());
    std::fflush(stderr);
    shown_ = true;
}

void ProgressLine::clear() {
    if (!shown_) return;
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
    shown_ = false;
}

}  // namespace quillon::cli
