#include "output_file.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillon {
namespace {

namespace fs = std::filesystem;

// Temporary files not yet committed, in storage a signal handler may read: a
// path is complete before its slot is marked live.
enum SlotState : int { kFree, kClaimed, kLive };
struct Slot {
    char path[PATH_MAX]{};
    std::atomic<int> state{kFree};
};
// A few per concurrent run (its output, an in-place result and backup); a
// file that finds none free is simply not cleaned up after a signal.
constexpr int kSlotCount = 256;
// Constant-initialized: a run touches only the slots it claims.
constinit Slot slots[kSlotCount];

int claimSlot(const std::string& path) {
    if (path.size() >= PATH_MAX) return -1;
    for (int i = 0; i < kSlotCount; ++i) {
        int expected = kFree;
        if (slots[i].state.compare_exchange_strong(expected, kClaimed)) {
            std::memcpy(slots[i].path, path.c_str(), path.size() + 1);
            return i;
        }
    }
    return -1;
}

// Sections, in any thread, where a file exists that its slot does not show
// yet, and whether a signal handler has begun removing the unfinished files.
// Sequentially consistent: either the section sees the handler has begun and
// makes no file, or the handler sees the section and waits for its slot.
std::atomic<int> sectionsOpen{0};
std::atomic<bool> removing{false};
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free);

// Holds this thread's signals back and keeps another thread's handler
// waiting while a file is made and marked. `open()` is false once a handler
// has begun: a file made now would outlive the process.
class SignalsHeld {
public:
    SignalsHeld() {
        sigset_t all;
        sigfillset(&all);
        pthread_sigmask(SIG_BLOCK, &all, &previous_);
        ++sectionsOpen;
    }
    ~SignalsHeld() {
        --sectionsOpen;
        pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
    }
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

    bool open() const { return !removing; }

private:
    sigset_t previous_;
};

// Read while the program starts, on its one thread: reading the mask means
// setting it for a moment, and a file another thread made in that moment
// would get the wrong mode.
const mode_t processUmask = [] {
    const mode_t current = ::umask(0);
    ::umask(current);
    return current;
}();

// The folder of a process's descriptors: a link inside it names an open file,
// and writing through it must reach that very file.
// That is /proc/N/fd or /proc/N/task/M/fd.
bool isDescriptorFolder(const fs::path& folder) {
    std::error_code error;
    const fs::path real = fs::canonical(folder, error);
    if (error) return false;
    const auto isNumber = [](const fs::path& step) {
        const std::string text = step.string();
        return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
    };
    std::vector<fs::path> steps(real.begin(), real.end());  // "/", "proc", N, ...
    if (steps.size() == 6 && steps[3] == "task" && isNumber(steps[4])) steps.erase(steps.begin() + 3, steps.begin() + 5);
    return steps.size() == 4 && steps[1] == "proc" && isNumber(steps[2]) && steps[3] == "fd";
}

struct Target {
    bool replaceable;
    std::string path;  // the folder entry to replace, with replaceable
};

// Follows symbolic links one at a time to the entry that a write would reach.
Target resolve(const std::string& path) {
    std::string current = path;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat status {};
        if (::lstat(current.c_str(), &status) != 0) return {errno == ENOENT, current};
        if (S_ISREG(status.st_mode)) return {status.st_nlink > 0, current};
        if (!S_ISLNK(status.st_mode)) return {false, path};
        const fs::path link(current);
        const fs::path folder = link.has_parent_path() ? link.parent_path() : fs::path(".");
        if (isDescriptorFolder(folder)) return {false, path};
        std::error_code error;
        const fs::path target = fs::read_symlink(link, error);
        if (error) return {false, path};
        current = (target.is_absolute() ? target : folder / target).string();
    }
    return {false, path};  // a loop: opening reports it
}

}  // namespace

UnfinishedFileMark::UnfinishedFileMark(const std::string& path) : slot_(claimSlot(path)) {
    if (slot_ >= 0) slots[slot_].state = kLive;
}

UnfinishedFileMark::~UnfinishedFileMark() {
    if (slot_ >= 0) slots[slot_].state = kFree;
}

bool takeOwnerAndMode(int descriptor, const struct stat& replaced) {
    // The owner first: changing it may clear the set-user-ID and set-group-ID bits.
    if ((replaced.st_uid != ::geteuid() || replaced.st_gid != ::getegid()) &&
        ::fchown(descriptor, replaced.st_uid, replaced.st_gid) != 0) {
        [[maybe_unused]] const int groupOnly = ::fchown(descriptor, static_cast<uid_t>(-1), replaced.st_gid);
    }
    return ::fchmod(descriptor, replaced.st_mode & 07777) == 0;
}

int writeRefusal(const char* path) { return ::access(path, W_OK) == 0 ? 0 : errno; }

OutputFile::~OutputFile() { discard(); }

bool OutputFile::fail() {
    if (error_ == 0) error_ = errno;
    return false;
}

bool OutputFile::open(const char* path, bool onlyReplacing) {
    discard();
    error_ = 0;
    replaced_.reset();
    const Target target = resolve(path);
    if (target.replaceable) {
        struct stat status {};
        if (::stat(target.path.c_str(), &status) == 0) {
            replaced_ = status;
            // Replacing a file is writing it: only where writing it is allowed.
            if (const int refusal = writeRefusal(target.path.c_str())) {
                errno = refusal;
                return fail();
            }
        }

        const fs::path entry(target.path);
        const fs::path folder = entry.has_parent_path() ? entry.parent_path() : fs::path(".");
        // Appended rather than "." + name, which GCC 12 at -O3 misreads as overlapping copies.
        std::string hidden = ".";
        (hidden += entry.filename().string()) += ".quillon-XXXXXX";
        std::string pattern = (folder / hidden).string();
        if (entry.filename().string().size() > NAME_MAX - 16) pattern = (folder / ".quillon-XXXXXX").string();
        const SignalsHeld held;
        if (!held.open()) {
            errno = EINTR;
            return fail();
        }
        descriptor_ = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (descriptor_ >= 0) {
            temporary_ = pattern;
            destination_ = target.path;
            mark_.emplace(temporary_);
            return true;
        }
        // A writable file in a folder this user may not add to is refused
        // too: written directly, an interrupted run would leave it half-written.
        return fail();
    }
    if (onlyReplacing) return false;
    descriptor_ = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    return descriptor_ >= 0 || fail();
}

bool OutputFile::write(const char* data, std::size_t length) {
    if (descriptor_ < 0) return false;
    while (length > 0 && error_ == 0) {
        const ssize_t put = ::write(descriptor_, data, length);
        if (put < 0) {
            if (errno != EINTR) fail();
            continue;
        }
        data += put;
        length -= static_cast<std::size_t>(put);
    }
    return error_ == 0;
}

bool OutputFile::commit() {
    if (descriptor_ < 0) return false;
    if (temporary_.empty()) {
        if (::close(descriptor_) != 0) fail();
        descriptor_ = -1;
        return error_ == 0;
    }
    if (error_ == 0 && ::fsync(descriptor_) != 0) fail();
    if (error_ == 0 && !(replaced_ ? takeOwnerAndMode(descriptor_, *replaced_)
                                   : ::fchmod(descriptor_, 0666 & ~processUmask) == 0)) {
        fail();
    }
    if (::close(descriptor_) != 0) fail();
    descriptor_ = -1;
    if (error_ == 0 && ::rename(temporary_.c_str(), destination_.c_str()) != 0) fail();
    if (error_ != 0) {
        discard();
        return false;
    }
    release();
    return true;
}

void OutputFile::discard() {
    if (descriptor_ >= 0) ::close(descriptor_);
    descriptor_ = -1;
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    release();
}

void OutputFile::release() {
    mark_.reset();
    temporary_.clear();
}

void removeUnfinishedOutputs() {
    removing = true;
    while (sectionsOpen != 0) {
    }
    for (Slot& slot : slots) {
        if (slot.state == kLive) ::unlink(slot.path);
    }
}

void catchEndingSignals(void (*handler)(int)) {
    for (const int signal : {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGPIPE, SIGXFSZ}) {
        struct sigaction previous {};
        ::sigaction(signal, nullptr, &previous);
        if (previous.sa_handler == SIG_IGN) continue;
        struct sigaction action {};
        action.sa_handler = handler;
        sigemptyset(&action.sa_mask);
        ::sigaction(signal, &action, nullptr);
    }
}

}  // namespace quillon
