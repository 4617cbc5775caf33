// Runs of a file onto itself. The result is written beside the source under
// a name of its own and takes the source's place only when complete: no run,
// whatever encodings it reads and writes, ever reads a source it has begun
// to overwrite.
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <quillon/quillon.h>

#include "output_file.h"
#include "path_run.h"

namespace quillon::api {
namespace {

namespace fs = std::filesystem;

[[noreturn]] void refuse(const std::string& what, int error, std::vector<Warning> warnings = {}) {
    throw Error(Error::Kind::DestinationUnwritable, what + ": " + std::strerror(error), error, std::move(warnings));
}

// A name beside `file` for this process's own use, never taken twice.
std::string besideName(const fs::path& file, const char* purpose) {
    static std::atomic<unsigned long> taken{0};
    // snprintf rather than std::to_string, whose digit table the library
    // would export as a unique symbol.
    char name[64];
    std::snprintf(name, sizeof name, ".quillon-%s-%ld-%lu", purpose, long(::getpid()), taken++);
    return (file.parent_path() / name).string();
}

// The original, kept under a name of its own until the run has succeeded: a
// hard link where the file system has them, else a copy.
class Backup {
public:
    Backup(const std::string& source, const std::string& suffix)
        : kept_(source + suffix), pending_(besideName(source, "backup")), mark_(pending_) {
        // A source named through a symbolic link keeps the file it reaches.
        if (::linkat(AT_FDCWD, source.c_str(), AT_FDCWD, pending_.c_str(), AT_SYMLINK_FOLLOW) == 0) return;
        std::error_code error;
        fs::copy_file(source, pending_, fs::copy_options::overwrite_existing, error);
        if (error) refuse(kept_, error.value());
    }
    ~Backup() {
        if (!pending_.empty()) ::unlink(pending_.c_str());
    }
    Backup(const Backup&) = delete;
    Backup& operator=(const Backup&) = delete;

    // False with errno when the backup could not take its name.
    bool keep() {
        if (std::rename(pending_.c_str(), kept_.c_str()) != 0) return false;
        // Where the name already was a link of the same file (NAME~ a hard
        // link of NAME), rename left both names: the pending one must go.
        ::unlink(pending_.c_str());
        pending_.clear();
        return true;
    }

private:
    std::string kept_;
    std::string pending_;
    const UnfinishedFileMark mark_;  // an interrupted run leaves no pending backup
};

// The result until it takes the source's place.
class PendingResult {
public:
    explicit PendingResult(const fs::path& target) : path_(besideName(target, "result")), mark_(path_) {}
    ~PendingResult() { ::unlink(path_.c_str()); }
    PendingResult(const PendingResult&) = delete;
    PendingResult& operator=(const PendingResult&) = delete;

    const std::string& path() const { return path_; }
    // takeOwnerAndMode for the result.
    bool takeOwnerAndModeOf(const struct stat& replaced) const {
        const int descriptor = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
        if (descriptor < 0) return false;
        const bool taken = takeOwnerAndMode(descriptor, replaced);
        ::close(descriptor);
        return taken;
    }

private:
    std::string path_;
    const UnfinishedFileMark mark_;
};

}  // namespace

Result runInPlace(const PreparedOptions& prepared, const std::string& path,
                  const std::optional<std::string>& backupSuffix) {
    const fs::path folder = fs::path(path).parent_path();
    const std::string shown = folder.empty() ? "." : folder.string();
    if (::access(shown.c_str(), W_OK) != 0) refuse(shown, errno);
    std::error_code error;
    // A source named through a symbolic link: the file it reaches is replaced.
    const fs::path target = fs::canonical(path, error);
    if (error) throw Error(Error::Kind::SourceUnreadable, path + ": " + error.message(), error.value());
    // Replacing a file is writing it: not where cp would refuse to.
    if (const int refusal = writeRefusal(target.c_str())) refuse(path, refusal);

    PendingResult result(target);
    std::optional<Backup> backup;
    if (backupSuffix) backup.emplace(path, *backupSuffix);
    Result done = runPaths(prepared.run(), path.c_str(), result.path().c_str(), {path, path});
    struct stat status {};
    if (!(::stat(target.c_str(), &status) == 0 && result.takeOwnerAndModeOf(status) && (!backup || backup->keep()) &&
          std::rename(result.path().c_str(), target.c_str()) == 0)) {
        refuse(path, errno, std::move(done.warnings));
    }
    return done;
}

}  // namespace quillon::api
