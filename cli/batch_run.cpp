#include "batch_run.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "error_output.h"
#include "file_run.h"
#include "progress.h"
#include "source_tree.h"

namespace quillon::cli {
namespace {

namespace fs = std::filesystem;
using Kind = FileOutcome::Kind;

FileOutcome failed(std::string text) {
    return {.kind = Kind::Failed, .exitStatus = kExitFailure, .messages = messageLine(text)};
}

class BatchRun {
public:
    explicit BatchRun(const api::CommandLine& line)
        : line_(line), prepared_(prepare(line)), items_(planBatch(line.sources, line)) {
        outcomes_.resize(items_.size());
        done_.assign(items_.size(), false);
    }

    int run() {
        const unsigned processors = std::max(1u, std::thread::hardware_concurrency());
        const std::size_t jobs = std::clamp<std::size_t>(
            line_.jobs > 0 ? std::size_t(line_.jobs) : processors, 1, std::max<std::size_t>(1, items_.size()));
        std::vector<std::jthread> workers;
        for (std::size_t i = 0; i < jobs; ++i) workers.emplace_back([this] { work(); });
        report();
        return worstStatus_;
    }

private:
    // What detection finds is told, file by file, only when asked for: each
    // worker keeps the lines of the file it runs.
    static std::string& traced() {
        thread_local std::string lines;
        return lines;
    }
    static api::PreparedOptions prepare(const api::CommandLine& line) {
        api::Options options = line.options;
        if (line.verbose && !line.quiet) options.trace = [](std::string_view text) { (traced() += text) += '\n'; };
        return {taskOf(line), options};
    }

    void work() {
        std::string& traced = BatchRun::traced();
        for (std::size_t index; (index = next_++) < items_.size();) {
            {
                const std::lock_guard lock(mutex_);
                current_ = items_[index].source;
            }
            traced.clear();
            FileOutcome outcome = runItem(index);
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

    FileOutcome runItem(std::size_t index) {
        const BatchItem& item = items_[index];
        if (!item.problem.empty()) return failed(item.problem);
        if (!item.note.empty()) {
            return {.kind = Kind::Skipped, .exitStatus = kExitSuccess, .messages = line_.quiet ? "" : messageLine(item.note)};
        }
        const FileRun run{.source = item.source,
                          .destination = item.destination,
                          .sourceName = item.source,
                          .names = {item.source, item.destination},
                          .batch = true,
                          .quiet = line_.quiet,
                          .options = &prepared_};
        if (line_.inPlace) {
            return outcomeOf(run, [&] { return api::runInPlace(prepared_, run.source, line_.backupSuffix); });
        }
        std::error_code error;
        const fs::path folder = fs::path(item.destination).parent_path();
        fs::create_directories(folder, error);
        if (error) return failed(folder.string() + ": " + error.message());
        return runFile(run);
    }

    // Prints each file's messages in the order of the files, as they finish.
    void report() {
        const bool quiet = line_.quiet;
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
        const std::string done = line_.command == "convert" ? " converted" : " formatted";
        std::fputs(messageLine(std::to_string(items_.size()) + (items_.size() == 1 ? " file: " : " files: ") +
                               std::to_string(counts_[0] + counts_[1]) + done + " (" + std::to_string(counts_[0]) +
                               " without warnings, " + std::to_string(counts_[1]) + " with warnings), " +
                               std::to_string(counts_[2]) + " failed, " +
                               std::to_string(counts_[3]) + " skipped")
                       .c_str(),
                   stderr);
    }

    const api::CommandLine& line_;
    const api::PreparedOptions prepared_;
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

int runBatch(const api::CommandLine& line) { return BatchRun(line).run(); }

}  // namespace quillon::cli
