// Batches of every kind of source, each kind after each: every file comes
// out as its one-file run makes it, whatever came before it in its worker.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli_runner.h"
#include "source_kinds.h"
#include "temp_files.h"

namespace quillon::testing {
namespace {

namespace fs = std::filesystem;

struct Command {
    const char* name;
    std::vector<std::string> args;
};

void PrintTo(const Command& c, std::ostream* os) { *os << c.name; }

class CliBatchMatrix : public ::testing::TestWithParam<Command> {
protected:
    // What the one-file run makes of each kind (nothing when it refuses the
    // source, as format refuses plain ASCII), and the worst status of them.
    std::vector<std::optional<std::string>> oneFileRuns(int& worstStatus) const {
        std::vector<std::optional<std::string>> outputs;
        for (std::size_t k = 0; k < kinds_.size(); ++k) {
            const std::string source = dir_.file("kind" + std::to_string(k));
            const std::string destination = source + ".out";
            writeFile(source, kinds_[k].bytes);
            std::vector<std::string> args = GetParam().args;
            args.insert(args.end(), {source, destination});
            const int status = runCli(args).exitCode;
            outputs.push_back(fileIfAny(destination));
            worstStatus = std::max(worstStatus, status);
        }
        return outputs;
    }

    static std::optional<std::string> fileIfAny(const std::string& path) {
        return fs::exists(path) ? std::optional(readFile(path)) : std::nullopt;
    }

    const std::vector<SourceKind> kinds_ = sourceKinds();
    TempDir dir_;
};

// Appended rather than "f" + number, which GCC 12 at -O3 misreads as overlapping copies.
std::string fileName(std::size_t index) {
    std::string name = "f";
    name += std::to_string(index);
    return name;
}

TEST_P(CliBatchMatrix, EveryFileAsItsOneFileRun) {
    int worstStatus = 0;
    const std::vector<std::optional<std::string>> expected = oneFileRuns(worstStatus);
    const std::vector<std::size_t> order = eachAfterEach(kinds_.size());
    for (const char* jobs : {"1", "3"}) {
        for (const bool inPlace : {false, true}) {
            const fs::path folder = dir_.path() / (std::string(inPlace ? "in-place-" : "output-dir-") + jobs);
            SCOPED_TRACE(folder.filename().string());
            fs::create_directory(folder);
            std::vector<std::string> args = GetParam().args;
            args.insert(args.end(), {"--jobs", jobs});
            args.insert(args.end(), {inPlace ? "--in-place" : "--output-dir=out"});
            for (std::size_t i = 0; i < order.size(); ++i) {
                args.push_back(fileName(i));
                writeFile((folder / args.back()).string(), kinds_[order[i]].bytes);
            }
            CliSetup inFolder;
            inFolder.directory = folder.string();
            EXPECT_EQ(runCli(args, inFolder).exitCode, worstStatus);
            for (std::size_t i = 0; i < order.size(); ++i) {
                const SourceKind& kind = kinds_[order[i]];
                const std::string name = fileName(i);
                SCOPED_TRACE(name + ": " + kind.name + " after " + kinds_[order[i == 0 ? 0 : i - 1]].name);
                if (inPlace) {
                    EXPECT_EQ(readFile((folder / name).string()), expected[order[i]].value_or(kind.bytes));
                } else {
                    EXPECT_EQ(fileIfAny((folder / "out" / name).string()), expected[order[i]]);
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Commands, CliBatchMatrix,
                         ::testing::Values(Command{"Convert", {"convert"}},
                                           Command{"ConvertToUtf8", {"convert", "--to", "utf-8"}},
                                           Command{"Format", {"format"}},
                                           Command{"FormatToUtf8", {"format", "--to", "utf-8"}},
                                           // A mark only where the source had one.
                                           Command{"ConvertToUtf16Be", {"convert", "--to", "utf-16be"}},
                                           Command{"FormatToUtf16WithoutAMark",
                                                   {"format", "--to", "utf-16", "--bom", "drop"}}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillon::testing
