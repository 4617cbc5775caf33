#pragma once

#include <atomic>
#include <csignal>
#include <cstddef>
#include <string>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

namespace quillon::testing {

// A source that a thread feeds with `total` bytes of one text repeated, for a
// run that must stop reading early: fed() tells how much it took in, give or
// take what the pipe holds. path() opens it like a file.
class FeedingPipe {
public:
    FeedingPipe(const std::string& text, std::size_t total) {
        previous_ = std::signal(SIGPIPE, SIG_IGN);  // a reader gone is an error to the thread
        int ends[2] = {-1, -1};
        if (::pipe2(ends, O_CLOEXEC) != 0) return;
        read_ = ends[0];
        write_ = ends[1];
        feeder_ = std::thread([this, text, total] {
            while (fed_ < total && ::write(write_, text.data(), text.size()) > 0) fed_ += text.size();
            ::close(write_);
        });
    }
    // The thread stops at the first write that finds no reader.
    ~FeedingPipe() {
        if (read_ >= 0) ::close(read_);
        if (feeder_.joinable()) feeder_.join();
        std::signal(SIGPIPE, previous_);
    }
    FeedingPipe(const FeedingPipe&) = delete;
    FeedingPipe& operator=(const FeedingPipe&) = delete;

    std::string path() const { return "/proc/self/fd/" + std::to_string(read_); }
    std::size_t fed() const { return fed_; }

private:
    int read_ = -1;
    int write_ = -1;
    std::atomic<std::size_t> fed_ = 0;
    std::thread feeder_;
    void (*previous_)(int) = SIG_DFL;
};

}  // namespace quillon::testing
