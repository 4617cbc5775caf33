#include "source_tree.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <system_error>
#include <utility>

#include <sys/stat.h>

namespace quillon::cli {
namespace {

namespace fs = std::filesystem;

// A file as the system knows it, whatever its names.
using FileIdentity = std::pair<dev_t, ino_t>;

// The file `path` names, or with `followLinks` false the entry itself.
std::optional<FileIdentity> identityOf(const std::string& path, bool followLinks) {
    struct stat status {};
    if ((followLinks ? ::stat(path.c_str(), &status) : ::lstat(path.c_str(), &status)) != 0) return std::nullopt;
    return FileIdentity{status.st_dev, status.st_ino};
}

class Planner {
public:
    explicit Planner(const api::CommandLine& options) : options_(options) {}

    void addOperand(const std::string& operand) {
        std::error_code error;
        const fs::file_status status = fs::status(operand, error);
        if (error) return addProblem(operand, operand + ": " + error.message());
        if (fs::is_regular_file(status)) return addFile(operand, fs::path(operand).filename());
        if (!fs::is_directory(status)) return addSkipped(operand);
        if (!options_.recursive) return addProblem(operand, operand + ": Is a directory (see --recursive)");
        // The folder's own name is mirrored, unless it has none ("." or "/").
        const fs::path normal = fs::path(operand).lexically_normal();
        const fs::path name = normal.has_filename() ? normal.filename() : normal.parent_path().filename();
        const bool named = !name.empty() && name != "." && name != "..";
        walk(operand, named ? name : fs::path());
    }

    std::vector<BatchItem> take() {
        if (options_.inPlace && options_.backupSuffix) refuseBackupsOverSources();
        return std::move(items_);
    }

private:
    void walk(const fs::path& folder, const fs::path& mirrored) {
        std::error_code error;
        fs::directory_iterator entries(folder, error);
        if (error) return addProblem(folder.string(), folder.string() + ": " + error.message());
        std::vector<fs::directory_entry> sorted;
        for (; entries != fs::directory_iterator(); entries.increment(error)) sorted.push_back(*entries);
        if (error) return addProblem(folder.string(), folder.string() + ": " + error.message());
        std::ranges::sort(sorted, {}, [](const fs::directory_entry& entry) { return entry.path().filename(); });

        for (const fs::directory_entry& entry : sorted) {
            const fs::file_status status = entry.symlink_status(error);
            const fs::path path = entry.path();
            if (error) {
                // Deeper than a path may reach, for one: a failure, not something skipped.
                addProblem(path.string(), path.string() + ": " + error.message());
            } else if (fs::is_regular_file(status)) {
                addFile(path.string(), mirrored / path.filename());
            } else if (fs::is_directory(status)) {
                // The results may be written inside the tree: they are no source.
                if (!options_.outputDir.empty() && fs::equivalent(path, options_.outputDir, error)) continue;
                walk(path, mirrored / path.filename());
            } else {
                addSkipped(path.string());
            }
        }
    }

    void addFile(const std::string& source, const fs::path& relative) {
        BatchItem item;
        item.source = source;
        item.destination = options_.inPlace ? source : (fs::path(options_.outputDir) / relative).string();
        std::error_code error;
        item.size = fs::file_size(source, error);
        if (!options_.inPlace) {
            if (!destinations_.insert(fs::path(item.destination).lexically_normal()).second) {
                item.problem = source + ": its result would overwrite an earlier source's; nothing was written";
            } else if (api::sameFile(source, item.destination)) {
                item.problem = source + ": is its own destination; nothing was written";
            }
        } else if (const auto file = identityOf(source, true)) {
            // Run twice in place, a file would be converted twice.
            if (!filesInPlace_.emplace(*file, items_.size()).second) {
                item.problem = source + ": is the same file as an earlier source; nothing was written";
            }
        }
        items_.push_back(std::move(item));
    }

    // A backup takes its name whatever held it: refused where that is another
    // source of the run, or the entry that names one (a symbolic link). A
    // backup name that is a hard link of its own source is no loss.
    void refuseBackupsOverSources() {
        std::map<FileIdentity, std::size_t> named;
        for (std::size_t index = 0; index < items_.size(); ++index) {
            if (items_[index].destination.empty()) continue;  // no file of the run
            if (const auto entry = identityOf(items_[index].source, false)) named.emplace(*entry, index);
        }
        for (std::size_t index = 0; index < items_.size(); ++index) {
            BatchItem& item = items_[index];
            if (!item.problem.empty() || !item.note.empty()) continue;
            const std::string backup = item.source + *options_.backupSuffix;
            const auto replaced = identityOf(backup, false);
            if (!replaced || replaced == identityOf(item.source, true)) continue;
            const auto another = [&](const std::map<FileIdentity, std::size_t>& sources) {
                const auto found = sources.find(*replaced);
                return found != sources.end() && found->second != index;
            };
            if (another(filesInPlace_) || another(named)) {
                item.problem = item.source + ": its backup " + backup + " would replace another source; nothing was written";
            }
        }
    }

    void addProblem(const std::string& source, std::string problem) {
        BatchItem item;
        item.source = source;
        item.problem = std::move(problem);
        items_.push_back(std::move(item));
    }

    void addSkipped(const std::string& source) {
        BatchItem item;
        item.source = source;
        item.note = source + ": skipped, not a regular file";
        items_.push_back(std::move(item));
    }

    const api::CommandLine& options_;
    std::vector<BatchItem> items_;
    std::set<fs::path> destinations_;
    std::map<FileIdentity, std::size_t> filesInPlace_;  // the file of each source run in place, and its item
};

}  // namespace

std::vector<BatchItem> planBatch(const std::vector<std::string>& sources, const api::CommandLine& options) {
    Planner planner(options);
    for (const std::string& source : sources) planner.addOperand(source);
    return planner.take();
}

}  // namespace quillon::cli
