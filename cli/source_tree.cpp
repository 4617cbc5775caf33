#include "source_tree.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>

#include "same_file.h"

namespace quillon::cli {
namespace {

namespace fs = std::filesystem;

class Planner {
public:
    explicit Planner(const BatchOptions& options) : options_(options) {}

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

    std::vector<BatchItem> take() { return std::move(items_); }

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
            if (fs::is_regular_file(status)) {
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
            } else if (isSameFile(source.c_str(), item.destination.c_str())) {
                item.problem = source + ": is its own destination; nothing was written";
            }
        }
        items_.push_back(std::move(item));
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

    const BatchOptions& options_;
    std::vector<BatchItem> items_;
    std::set<fs::path> destinations_;
};

}  // namespace

std::vector<BatchItem> planBatch(const std::vector<std::string>& sources, const BatchOptions& options) {
    Planner planner(options);
    for (const std::string& source : sources) planner.addOperand(source);
    return planner.take();
}

}  // namespace quillon::cli
