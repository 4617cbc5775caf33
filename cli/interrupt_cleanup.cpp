#include "interrupt_cleanup.h"

#include <atomic>
#include <csignal>

#include <unistd.h>

#include <quillon/quillon.h>

namespace quillon::cli {
namespace {

std::atomic<int> emptiedDescriptor{-1};
static_assert(std::atomic<int>::is_always_lock_free);  // read in a signal handler

extern "C" void removeUnfinishedFilesAndDie(int signal) {
    api::removeUnfinishedOutputs();
    if (const int descriptor = emptiedDescriptor.load(); descriptor >= 0) {
        [[maybe_unused]] const int ignored = ::ftruncate(descriptor, 0);
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);  // delivered when this handler returns
}

// A shell starts a run in the background with the terminal's interrupt and
// quit keys ignored, so that they reach only what runs in the foreground.
// Those keys stay ignored, but the same signals sent by a process (kill -INT)
// still end the run.
extern "C" void removeUnfinishedFilesAndDieUnlessTyped(int signal, siginfo_t* info, void*) {
    if (info->si_code != SI_KERNEL) removeUnfinishedFilesAndDie(signal);
}

}  // namespace

void removeUnfinishedFilesOnSignals() {
    api::catchEndingSignals(removeUnfinishedFilesAndDie);
    for (const int signal : {SIGINT, SIGQUIT}) {
        struct sigaction previous {};
        ::sigaction(signal, nullptr, &previous);
        if (previous.sa_handler != SIG_IGN) continue;
        struct sigaction action {};
        action.sa_sigaction = removeUnfinishedFilesAndDieUnlessTyped;
        // A key typed at the terminal must not break off a read or write in progress.
        action.sa_flags = SA_SIGINFO | SA_RESTART;
        sigemptyset(&action.sa_mask);
        ::sigaction(signal, &action, nullptr);
    }
}

void emptyOnSignals(int descriptor) { emptiedDescriptor = descriptor; }

void stopEmptyingOnSignals() { emptiedDescriptor = -1; }

}  // namespace quillon::cli
