#include "temporary_file_cleanup.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

#include <quillon/quillon.h>

namespace quillon {
namespace {

// Fixed listed, so that the signal handler touches no allocator and no lock:
// only lock-free atomics, unlink and raise, which are safe in a handler.
enum SlotState : int { kFree, kWriting, kListed };
struct Slot {
    std::atomic<int> state{kFree};
    char path[4096];
};
Slot listed[8];

extern "C" void removeListedFilesAndEnd(int signalNumber) {
    for (Slot& slot : listed) {
        if (slot.state.load() == kListed) ::unlink(slot.path);
    }
    ::signal(signalNumber, SIG_DFL);
    ::raise(signalNumber);
}

}  // namespace

void installTemporaryFileCleanup() { api::catchEndingSignals(removeListedFilesAndEnd); }

void listTemporaryFile(const QByteArray& encodedPath) {
    if (encodedPath.size() >= qsizetype(sizeof listed[0].path)) return;
    for (Slot& slot : listed) {
        int expected = kFree;
        if (!slot.state.compare_exchange_strong(expected, kWriting)) continue;
        std::memcpy(slot.path, encodedPath.constData(), size_t(encodedPath.size()) + 1);
        slot.state.store(kListed);
        return;
    }
}

void unlistTemporaryFile(const QByteArray& encodedPath) {
    for (Slot& slot : listed) {
        if (slot.state.load() == kListed && encodedPath == slot.path) {
            slot.state.store(kFree);
            return;
        }
    }
}

}  // namespace quillon
