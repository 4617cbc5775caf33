#include "batch_options.h"

#include <charconv>
#include <string>
#include <utility>

namespace quillon::cli {
namespace {

// The most files run at once; more workers would only wait on the disk.
constexpr int kMostJobs = 64;

const std::string kJobsHelp = std::string("run N files at once, 1 to ")
                                  .append(std::to_string(kMostJobs))
                                  .append(" (default: one per processor)");

const BatchOptionRow kRows[] = {
    {"output-dir", "DIR", false, "write each result into DIR under its source's name"},
    {"recursive", "", false,
     "walk folders given as SOURCE, mirroring them under DIR or replacing their files in place"},
    {"in-place", "", false, "replace each SOURCE by its result"},
    {"backup", "SUFFIX", true, "with --in-place, keep each original as its name and SUFFIX (default ~)"},
    {"jobs", "N", false, kJobsHelp},
};

bool apply(std::string_view name, std::string_view value, BatchOptions& options, std::string& error) {
    if (name == "output-dir") {
        options.outputDir = value;
        if (value.empty()) error = "option '--output-dir' needs a folder";
    } else if (name == "recursive") {
        options.recursive = true;
    } else if (name == "in-place") {
        options.inPlace = true;
    } else if (name == "backup") {
        options.backupSuffix = value.empty() ? "~" : std::string(value);
    } else if (name == "jobs") {
        int jobs = 0;
        const auto [end, failure] = std::from_chars(value.data(), value.data() + value.size(), jobs);
        if (failure != std::errc() || end != value.data() + value.size() || jobs < 1 || jobs > kMostJobs) {
            std::string message = "'";
            (message += value) += "' is not a number of jobs from 1 to ";
            (message += std::to_string(kMostJobs)) += " for '--jobs'";
            error = std::move(message);
        }
        options.jobs = jobs;
    }
    return error.empty();
}

}  // namespace

std::span<const BatchOptionRow> batchOptionRows() { return kRows; }

BatchOptionRead readBatchOption(std::string_view arg, std::span<const char* const> args,
                                std::size_t& next, BatchOptions& options, std::string& error) {
    if (!arg.starts_with("--")) return BatchOptionRead::NotBatchOption;
    const std::size_t equals = arg.find('=');
    const std::string_view name = arg.substr(2, equals == arg.npos ? arg.npos : equals - 2);
    for (const BatchOptionRow& row : kRows) {
        if (row.name != name) continue;
        std::string option = "'--";
        (option += name) += "'";
        std::string_view value;
        if (equals != arg.npos) {
            if (row.value.empty()) {
                error = "option " + option + " takes no value";
                return BatchOptionRead::Refused;
            }
            value = arg.substr(equals + 1);
        } else if (!row.value.empty() && !row.valueOptional) {
            if (next == args.size()) {
                error = "option " + option + " needs a value";
                return BatchOptionRead::Refused;
            }
            value = args[next++];
        }
        return apply(name, value, options, error) ? BatchOptionRead::Read : BatchOptionRead::Refused;
    }
    return BatchOptionRead::NotBatchOption;
}

}  // namespace quillon::cli
