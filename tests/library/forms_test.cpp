// The written forms a run reports, and what a program ended by a signal
// leaves of a run under way: only the public header.
#include <quillon/quillon.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

using namespace quillon::api;

struct FormCase {
    const char* name;
    Task task;
    std::string from;
    std::string to;
    std::string input;
    std::string sourceForm;
    std::string outputForm;
};

void PrintTo(const FormCase& c, std::ostream* out) { *out << c.name; }

class Forms : public testing::TestWithParam<FormCase> {};

TEST_P(Forms, AreTheTextsReadAndWritten) {
    const FormCase& c = GetParam();
    Options options;
    options.from = c.from;
    options.to = c.to;
    Result result;
    if (c.task == Task::Convert) {
        convert(c.input, options, &result);
    } else {
        format(c.input, options, &result);
    }
    EXPECT_EQ(result.sourceForm, c.sourceForm);
    EXPECT_EQ(result.outputForm, c.outputForm);
}

INSTANTIATE_TEST_SUITE_P(
    Library, Forms,
    testing::Values(
        // 中国 in GB and in Big5.
        FormCase{"GbToBig5", Task::Convert, "gb", "big5", "\xD6\xD0\xB9\xFA\r\n", "simplified", "traditional"},
        FormCase{"Big5ToGb", Task::Convert, "big5", "gb", "\xA4\xA4\xB0\xEA\r\n", "traditional", "simplified"},
        FormCase{"GbkKept", Task::Format, "gbk", "same", "\xD6\xD0\xB9\xFA\r\n", "simplified", "simplified"},
        // Unicode text is told by its characters, whatever its encoding.
        FormCase{"Utf8Simplified", Task::Convert, "", "", "汉语\n", "simplified", "traditional"},
        FormCase{"Utf8Traditional", Task::Convert, "", "", "漢語\n", "traditional", "simplified"},
        FormCase{"Utf8FormatKeepsTheForm", Task::Format, "", "", "漢語的段落。\n", "traditional", "traditional"},
        FormCase{"Utf8ToBig5", Task::Convert, "utf-8", "big5", "汉语\n", "simplified", "traditional"},
        FormCase{"PlainAscii", Task::Convert, "", "", "plain\n", "none", "none"}),
    [](const auto& info) { return std::string(info.param.name); });

// A child runs from a pipe that never ends into a file it replaces, and is
// ended by SIGTERM, whose handler removes what the run left unfinished.
extern "C" void removeAndEnd(int) {
    removeUnfinishedOutputs();
    ::_exit(1);
}

TEST(UnfinishedFiles, GoWithAProgramEndedBySignal) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("quillon-unfinished-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder / "out");
    const std::filesystem::path source = folder / "source";
    const std::filesystem::path destination = folder / "out" / "text.txt";
    std::ofstream(destination) << "old\n";
    ASSERT_EQ(::mkfifo(source.c_str(), 0600), 0);
    const int feed = ::open(source.c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(feed, 0);

    const pid_t child = ::fork();
    if (child == 0) {
        ::signal(SIGTERM, removeAndEnd);
        Options options;
        options.from = "gb";
        options.to = "big5";
        try {
            runFile(Task::Convert, source, destination, options);
        } catch (...) {
        }
        ::_exit(0);
    }
    // 中国 line after line, until the run has its new file beside the old.
    const std::string lines = [] {
        std::string text;
        for (int i = 0; i < 1024; ++i) text += "\xD6\xD0\xB9\xFA\r\n";
        return text;
    }();
    const auto filesInOut = [&] {
        return std::distance(std::filesystem::directory_iterator(folder / "out"), std::filesystem::directory_iterator());
    };
    for (int tries = 0; tries < 2000 && filesInOut() < 2; ++tries) {
        (void)!::write(feed, lines.data(), lines.size());
        ::usleep(5000);
    }
    EXPECT_EQ(filesInOut(), 2);
    ::kill(child, SIGTERM);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(feed);

    EXPECT_EQ(filesInOut(), 1);
    std::ifstream kept(destination);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "old\n");
    std::filesystem::remove_all(folder);
}

}  // namespace
