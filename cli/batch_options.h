#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace quillon::cli {

// How several files are handled at once; none of it reaches the engine.
struct BatchOptions {
    std::string outputDir;
    bool recursive = false;
    bool inPlace = false;
    std::optional<std::string> backupSuffix;  // with inPlace: keep the original
    int jobs = 0;                             // 0: one per processor

    // True when the operands are all sources.
    bool manySources() const { return !outputDir.empty() || inPlace; }
};

// One option of the batch forms, as the help lists it.
struct BatchOptionRow {
    std::string_view name;   // without the leading "--"
    std::string_view value;  // the value's word in the help, empty for a flag
    bool valueOptional;      // given only as --name=VALUE
    std::string_view help;
};
std::span<const BatchOptionRow> batchOptionRows();

enum class BatchOptionRead { NotBatchOption, Read, Refused };

// Reads `arg` when it is a batch option, taking its value from args[next] (and
// advancing next) where it needs one; `error` names the problem when refused.
BatchOptionRead readBatchOption(std::string_view arg, std::span<const char* const> args,
                                std::size_t& next, BatchOptions& options, std::string& error);

}  // namespace quillon::cli
