#include "interrupt_cleanup.h"

#include <atomic>
#include <csignal>

#include <unistd.h>

#include "output_file.h"

namespace quillon::cli {
namespace {

std::atomic<int> emptiedDescriptor{-1};
static_assert(std::atomic<int>::is_always_lock_free);  // read in a signal handler

extern "C" void removeUnfinishedFilesAndDie(int signal) {
    removeUnfinishedOutputs();
    if (const int descriptor = emptiedDescriptor.load(); descriptor >= 0) {
        [[maybe_unused]] const int ignored = ::ftruncate(descriptor, 0);
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);  // delivered when this handler returns
}

}  // namespace

void removeUnfinishedFilesOnSignals() {
    for (int signal : {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGPIPE, SIGXFSZ}) {
        struct sigaction previous {};
        ::sigaction(signal, nullptr, &previous);
        if (previous.sa_handler == SIG_IGN) continue;
        struct sigaction action {};
        action.sa_handler = removeUnfinishedFilesAndDie;
        sigemptyset(&action.sa_mask);
        ::sigaction(signal, &action, nullptr);
    }
}

void emptyOnSignals(int descriptor) { emptiedDescriptor = descriptor; }

void stopEmptyingOnSignals() { emptiedDescriptor = -1; }

}  // namespace quillon::cli
