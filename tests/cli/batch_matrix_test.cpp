// Batches of every kind of source, each kind after each: every file comes
// out as its one-file run makes it, whatever came before it in its worker.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
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

// What a one-file run makes of each kind: its output, or none.
struct Reference {
    std::vector<std::string> outputs;
    std::vector<bool> written;
    int worstStatus = 0;  // of the kinds a batch runs rather than skips
};

class CliBatchMatrix : public ::testing::TestWithParam<Command> {
protected:
    CliBatchMatrix() { setup_.directory = dir_.path().string(); }

    Reference oneFileRuns() {
        Reference reference;
        for (std::size_t k = 0; k < kinds_.size(); ++k) {
            const std::string source = dir_.file("kind" + std::to_string(k));
            const std::string destination = source + ".out";
            writeFile(source, kinds_[k].bytes);
            std::vector<std::string> args = GetParam().args;
            args.insert(args.end(), {source, destination});
            const CliRun run = runCli(args, setup_);
            reference.written.push_back(fs::exists(destination));
            reference.outputs.push_back(readFile(destination));
            if (reference.written.back()) reference.worstStatus = std::max(reference.worstStatus, run.exitCode);
        }
        return reference;
    }

    // Writes the kinds into `folder` in the order of `order`, and returns
    // the files' names in that order.
    std::vector<std::string> writeBatch(const std::string& folder, const std::vector<std::size_t>& order) {
        fs::create_directories(dir_.path() / folder);
        std::vector<std::string> names;
        for (std::size_t i = 0; i < order.size(); ++i) {
            names.push_back(folder + "/f" + std::to_string(i) + ".txt");
            writeFile(dir_.file(names.back()), kinds_[order[i]].bytes);
        }
        return names;
    }

    const std::vector<SourceKind> kinds_ = sourceKinds();
    TempDir dir_;
    CliSetup setup_;
};

TEST_P(CliBatchMatrix, EveryFileAsItsOneFileRun) {
    const Reference reference = oneFileRuns();
    const std::vector<std::size_t> order = eachAfterEach(kinds_.size());
    for (const char* jobs : {"1", "3"}) {
        for (const bool inPlace : {false, true}) {
            const std::string folder = std::string(inPlace ? "in-place-" : "output-dir-") + jobs;
            SCOPED_TRACE(folder);
            const std::vector<std::string> names = writeBatch(folder, order);
            std::vector<std::string> args = GetParam().args;
            args.insert(args.end(), {"--jobs", jobs});
            if (inPlace) {
                args.emplace_back("--in-place");
            } else {
                args.insert(args.end(), {"--output-dir", "out-" + folder});
            }
            args.insert(args.end(), names.begin(), names.end());
            EXPECT_EQ(runCli(args, setup_).exitCode, reference.worstStatus);
            for (std::size_t i = 0; i < names.size(); ++i) {
                const std::size_t kind = order[i];
                SCOPED_TRACE(names[i] + ", " + kinds_[kind].name + " after " + kinds_[order[i == 0 ? 0 : i - 1]].name);
                const std::string output =
                    dir_.file(inPlace ? names[i] : "out-" + folder + "/" + fs::path(names[i]).filename().string());
                if (reference.written[kind]) {
                    EXPECT_EQ(readFile(output), reference.outputs[kind]);
                } else if (inPlace) {
                    EXPECT_EQ(readFile(output), kinds_[kind].bytes);
                } else {
                    EXPECT_FALSE(fs::exists(output));
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Commands, CliBatchMatrix,
                         ::testing::Values(Command{"Convert", {"convert"}},
                                           Command{"ConvertToUtf8", {"convert", "--to", "utf-8"}},
                                           Command{"Format", {"format"}},
                                           Command{"FormatToUtf8", {"format", "--to", "utf-8"}}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillon::testing
