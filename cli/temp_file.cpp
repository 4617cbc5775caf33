#include "temp_file.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace quillon::cli {
namespace {

// Live temporary files, in storage a signal handler may read: a path is
// complete before its slot is marked live, and removed before it is unmarked.
struct Slot {
    char path[PATH_MAX];
    volatile std::sig_atomic_t live;
};
// A run spools at most standard input and standard output.
Slot slots[2];

extern "C" void removeTempFilesAndDie(int signal) {
    for (const Slot& slot : slots) {
        if (slot.live) ::unlink(slot.path);
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);  // delivered when this handler returns
}

// Holds signals back while a file exists that its slot does not show yet.
class SignalsHeld {
public:
    SignalsHeld() {
        sigset_t all;
        sigfillset(&all);
        ::sigprocmask(SIG_BLOCK, &all, &previous_);
    }
    ~SignalsHeld() { ::sigprocmask(SIG_SETMASK, &previous_, nullptr); }
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

private:
    sigset_t previous_;
};

}  // namespace

std::string tempFolder() {
    const char* folder = std::getenv("TMPDIR");
    return folder != nullptr && *folder != '\0' ? folder : "/tmp";
}

std::unique_ptr<TempFile> TempFile::create() {
    int slot = 0;
    while (slot < 2 && slots[slot].live) ++slot;
    const std::string pattern = tempFolder() + "/quillon-cli-XXXXXX";
    if (slot == 2 || pattern.size() >= PATH_MAX) {
        errno = slot == 2 ? EMFILE : ENAMETOOLONG;
        return nullptr;
    }
    char* path = slots[slot].path;
    std::memcpy(path, pattern.c_str(), pattern.size() + 1);
    const SignalsHeld held;
    const int descriptor = ::mkostemp(path, O_CLOEXEC);
    if (descriptor < 0) return nullptr;
    slots[slot].live = 1;
    return std::unique_ptr<TempFile>(new TempFile(slot, descriptor));
}

TempFile::~TempFile() {
    ::close(descriptor_);
    ::unlink(slots[slot_].path);
    slots[slot_].live = 0;
}

const char* TempFile::path() const { return slots[slot_].path; }

void removeTempFilesOnSignals() {
    for (int signal : {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGPIPE, SIGXFSZ}) {
        struct sigaction previous {};
        ::sigaction(signal, nullptr, &previous);
        if (previous.sa_handler == SIG_IGN) continue;
        struct sigaction action {};
        action.sa_handler = removeTempFilesAndDie;
        sigemptyset(&action.sa_mask);
        ::sigaction(signal, &action, nullptr);
    }
}

}  // namespace quillon::cli
