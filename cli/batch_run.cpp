#include "batch_run.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "error_output.h"
#include "file_run.h"
#include "messages.h"
#include "output_file.h"
#include "progress.h"
#include "source_tree.h"

namespace quillon::cli {
namespace {

namespace fs = std::filesystem;
using Kind = FileOutcome::Kind;

FileOutcome failed(std::string text) {
    return {.kind = Kind::Failed, .exitStatus = kExitFailure, .messages = messageLine(text)};
}

// The original of a file run in place, kept under a name of its own until the
// run has succeeded: a hard link where the file system has them, else a copy.
class Backup {
public:
    Backup(const std::string& source, const std::string& suffix, std::size_t index)
        : kept_(source + suffix), pending_(pendingName(source, index)), mark_(pending_) {
        // A source named through a symbolic link keeps the file it reaches.
        if (::linkat(AT_FDCWD, source.c_str(), AT_FDCWD, pending_.c_str(), AT_SYMLINK_FOLLOW) == 0) return;
        std::error_code error;
        fs::copy_file(source, pending_, fs::copy_options::overwrite_existing, error);
        error_ = error.value();
    }
    ~Backup() {
        if (!pending_.empty()) ::unlink(pending_.c_str());
    }
    Backup(const Backup&) = delete;
    Backup& operator=(const Backup&) = delete;

    int error() const { return error_; }
    // False with errno when the backup could not take its name.
    bool keep() {
        if (std::rename(pending_.c_str(), kept_.c_str()) != 0) return false;
        // Where the name already was a link of the same file (NAME~ a hard
        // link of NAME), rename left both names: the pending one must go.
        ::unlink(pending_.c_str());
        pending_.clear();
        return true;
    }
    const std::string& name() const { return kept_; }

private:
    static std::string pendingName(const std::string& source, std::size_t index) {
        return (fs::path(source).parent_path() /
                (".quillon-backup-" + std::to_string(::getpid()) + "-" + std::to_string(index)))
            .string();
    }

    std::string kept_;
    std::string pending_;
    const UnfinishedFileMark mark_;  // an interrupted run leaves no pending backup
    int error_ = 0;
};

// takeOwnerAndMode for the file at `path`.
bool takeOwnerAndModeOf(const std::string& path, const struct stat& replaced) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) return false;
    const bool taken = takeOwnerAndMode(descriptor, replaced);
    ::close(descriptor);
    return taken;
}

class BatchRun {
public:
    explicit BatchRun(const CommandLine& line) : line_(line), items_(planBatch(line.sources, line.batch)) {
        outcomes_.resize(items_.size());
        done_.assign(items_.size(), false);
    }

    int run() {
        const unsigned processors = std::max(1u, std::thread::hardware_concurrency());
        const std::size_t jobs = std::clamp<std::size_t>(
            line_.batch.jobs > 0 ? std::size_t(line_.batch.jobs) : processors, 1, std::max<std::size_t>(1, items_.size()));
        std::vector<std::jthread> workers;
        for (std::size_t i = 0; i < jobs; ++i) workers.emplace_back([this] { work(); });
        report();
        return worstStatus_;
    }

private:
    void work() {
        // What detection finds is told, file by file, only when asked for.
        std::string traced;
        const bool tells = line_.verbose && line_.options.quiet == 0;
        setTraceSink([&traced, tells](std::string_view text) {
            if (tells) ((traced += text) += '\n');
        });
        TextFormatter formatter;
        for (std::size_t index; (index = next_++) < items_.size();) {
            {
                const std::lock_guard lock(mutex_);
                current_ = items_[index].source;
            }
            traced.clear();
            FileOutcome outcome = formatter.hasBuffers() ? runItem(formatter, index) : failed("Out of memory");
            std::string told;
            for (std::size_t start = 0, end; (end = traced.find('\n', start)) != traced.npos; start = end + 1) {
                told += messageLine(items_[index].source + ": " + traced.substr(start, end - start));
            }
            outcome.messages.insert(0, told);
            const std::lock_guard lock(mutex_);
            outcomes_[index] = std::move(outcome);
            done_[index] = true;
            bytesDone_ += items_[index].size;
            changed_.notify_one();
        }
    }

    FileOutcome runItem(TextFormatter& formatter, std::size_t index) {
        const BatchItem& item = items_[index];
        if (!item.problem.empty()) return failed(item.problem);
        if (!item.note.empty()) {
            return {.kind = Kind::Skipped,
                    .exitStatus = kExitSuccess,
                    .messages = line_.options.quiet ? "" : messageLine(item.note)};
        }
        FileRun run{.command = *line_.command,
                          .source = item.source,
                          .destination = item.destination,
                          .sourceName = item.source,
                          .sourceFailure = item.source,
                          .destinationFailure = item.destination,
                          .batch = true,
                          .options = line_.options};
        if (!line_.batch.outputDir.empty()) {
            std::error_code error;
            const fs::path folder = fs::path(item.destination).parent_path();
            fs::create_directories(folder, error);
            if (error) return failed(folder.string() + ": " + error.message());
        }
        if (!line_.batch.inPlace) return runFile(formatter, run);
        return runInPlace(formatter, run, index);
    }

    // The result is written beside the source under a name of its own and
    // takes the source's place only when complete: no run, whatever encodings
    // it reads and writes, ever reads a source it has begun to overwrite.
    FileOutcome runInPlace(TextFormatter& formatter, FileRun run, std::size_t index) {
        const fs::path folder = fs::path(run.source).parent_path();
        const std::string shown = folder.empty() ? "." : folder.string();
        if (::access(shown.c_str(), W_OK) != 0) return failed(shown + ": " + std::strerror(errno));
        std::error_code error;
        // A source named through a symbolic link: the file it reaches is replaced.
        const fs::path target = fs::canonical(run.source, error);
        if (error) return failed(run.source + ": " + error.message());
        // Replacing a file is writing it: not where cp would refuse to.
        if (const int refusal = writeRefusal(target.c_str())) return failed(run.source + ": " + std::strerror(refusal));
        const std::string result =
            (target.parent_path() / (".quillon-result-" + std::to_string(::getpid()) + "-" + std::to_string(index)))
                .string();
        const UnfinishedFileMark resultMark(result);
        run.destination = result;

        std::optional<Backup> backup;
        if (line_.batch.backupSuffix) {
            backup.emplace(run.source, *line_.batch.backupSuffix, index);
            if (backup->error() != 0) return failed(backup->name() + ": " + std::strerror(backup->error()));
        }
        FileOutcome outcome = runFile(formatter, run);
        if (outcome.kind == Kind::Failed || outcome.kind == Kind::Skipped) {
            ::unlink(result.c_str());
            return outcome;
        }
        struct stat status {};
        const bool replaced = ::stat(target.c_str(), &status) == 0 && takeOwnerAndModeOf(result, status) &&
                              (!backup || backup->keep()) && std::rename(result.c_str(), target.c_str()) == 0;
        if (!replaced) {
            outcome.messages += messageLine(run.source + ": " + std::strerror(errno));
            outcome.kind = Kind::Failed;
            outcome.exitStatus = kExitFailure;
            ::unlink(result.c_str());
        }
        return outcome;
    }

    // Prints each file's messages in the order of the files, as they finish.
    void report() {
        const bool quiet = line_.options.quiet != 0;
        ProgressLine progress(items_.size(), !quiet);
        std::size_t printed = 0;
        std::unique_lock lock(mutex_);
        while (printed < items_.size()) {
            changed_.wait_for(lock, std::chrono::milliseconds(200));
            for (; printed < items_.size() && done_[printed]; ++printed) {
                const FileOutcome outcome = std::exchange(outcomes_[printed], {});
                if (!outcome.messages.empty()) {
                    progress.clear();
                    std::fputs(outcome.messages.c_str(), stderr);
                }
                ++counts_[static_cast<int>(outcome.kind)];
                worstStatus_ = std::max(worstStatus_, outcome.exitStatus);
            }
            progress.update(printed, bytesDone_, current_);
        }
        progress.clear();
        if (quiet) return;
        // The counts add up to the files: a file with warnings is done too,
        // and counted once.
        const std::string done = *line_.command == Command::Convert ? " converted" : " formatted";
        std::fputs(messageLine(std::to_string(items_.size()) + (items_.size() == 1 ? " file: " : " files: ") +
                               std::to_string(counts_[0] + counts_[1]) + done + " (" + std::to_string(counts_[0]) +
                               " without warnings, " + std::to_string(counts_[1]) + " with warnings), " +
                               std::to_string(counts_[2]) + " failed, " +
                               std::to_string(counts_[3]) + " skipped")
                       .c_str(),
                   stderr);
    }

    const CommandLine& line_;
    const std::vector<BatchItem> items_;
    std::atomic<std::size_t> next_ = 0;

    std::mutex mutex_;  // guards what follows
    std::condition_variable changed_;
    std::vector<FileOutcome> outcomes_;
    std::vector<bool> done_;
    std::uintmax_t bytesDone_ = 0;
    std::string current_;
    int counts_[4] = {0, 0, 0, 0};  // by FileOutcome::Kind
    int worstStatus_ = kExitSuccess;
};

}  // namespace

int runBatch(const CommandLine& line) { return BatchRun(line).run(); }

}  // namespace quillon::cli
