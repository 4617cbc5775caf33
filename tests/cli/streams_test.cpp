// quillon-cli with "-" for standard input and output: spooled through
// temporary files that never stay behind.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <thread>

#include "cli_runner.h"
#include "temp_files.h"

namespace quillon::testing {
namespace {

// A source big enough that it cannot all sit in a pipe or a stdio buffer.
std::string largeGbText() {
    std::string line;
    for (int i = 0; i < 40; ++i) line += "\xB9\xFA\xCE\xAA";
    line += "\xA3\xAC\n";
    std::string text;
    while (text.size() < (4u << 20)) text += line;
    return text;
}

class CliStreams : public ::testing::Test {
protected:
    CliStreams() {
        std::filesystem::create_directory(spool());
        setup_.tmpdir = spool();
    }
    std::string spool() const { return dir_.file("spool"); }
    void expectNothingLeftBehind() const { EXPECT_TRUE(std::filesystem::is_empty(spool())); }

    TempDir dir_;
    CliSetup setup_;
};

TEST_F(CliStreams, StandardInputToStandardOutput) {
    writeFile(dir_.file("in.txt"), "\xB9\xFA\n\xCE\xAA\r\n");
    setup_.standardInput = dir_.file("in.txt");
    const CliRun run = runCli({"convert", "-", "-"}, setup_);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "\xB0\xEA\r\n\xAC\xB0\r\n");
    EXPECT_EQ(run.err, "");
    expectNothingLeftBehind();
}

TEST_F(CliStreams, OneSideSpooled) {
    writeFile(dir_.file("in.txt"), "\xB0\xEA\n");
    setup_.standardInput = dir_.file("in.txt");
    const CliRun fromInput = runCli({"convert", "--from", "big5", "-", dir_.file("out.txt")}, setup_);
    EXPECT_EQ(fromInput.exitCode, 0);
    EXPECT_EQ(readFile(dir_.file("out.txt")), "\xB9\xFA\r\n");

    setup_.standardInput = "/dev/null";
    const CliRun toOutput = runCli({"convert", "--from", "big5", dir_.file("in.txt"), "-"}, setup_);
    EXPECT_EQ(toOutput.exitCode, 0);
    EXPECT_EQ(toOutput.out, "\xB9\xFA\r\n");
    expectNothingLeftBehind();
}

TEST_F(CliStreams, WarningRunStillWritesItsOutput) {
    writeFile(dir_.file("in.txt"), "\xB0\x41\n");
    setup_.standardInput = dir_.file("in.txt");
    const CliRun run = runCli({"convert", "--from", "gb", "--to", "big5", "-", "-"}, setup_);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "\xA1\xBC\r\n");
    EXPECT_EQ(run.err, "quillon-cli: Warning: Invalid Chinese character found (1 in all, the first at line 1, column 1: bytes B0 41)\n");
    expectNothingLeftBehind();
}

TEST_F(CliStreams, FailedRunWritesNothingToStandardOutput) {
    const CliRun run = runCli({"convert", dir_.file("missing.txt"), "-"}, setup_);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "quillon-cli: " + dir_.file("missing.txt") + ": No such file or directory\n");
    expectNothingLeftBehind();
}

TEST_F(CliStreams, UnwritableStandardOutputIsAnError) {
    writeFile(dir_.file("in.txt"), "\xB9\xFA\n");
    const int full = ::open("/dev/full", O_WRONLY);
    ASSERT_GE(full, 0);
    setup_.standardOutput = full;
    const CliRun toFull = runCli({"convert", "--to", "big5", dir_.file("in.txt"), "-"}, setup_);
    ::close(full);
    EXPECT_EQ(toFull.exitCode, 2);
    EXPECT_EQ(toFull.err, "quillon-cli: Unable to write standard output: No space left on device\n");

    setup_.standardOutput = -1;
    setup_.closeStandardOutput = true;
    const CliRun closed = runCli({"convert", "--to", "big5", dir_.file("in.txt"), "-"}, setup_);
    EXPECT_EQ(closed.exitCode, 2);
    EXPECT_EQ(closed.err, "quillon-cli: Unable to write standard output: Bad file descriptor\n");
    expectNothingLeftBehind();
}

TEST_F(CliStreams, MissingTemporaryFolderIsAnError) {
    setup_.tmpdir = dir_.file("absent");
    const CliRun run = runCli({"convert", "-", dir_.file("out.txt")}, setup_);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err, "quillon-cli: Unable to create a temporary file in " + dir_.file("absent") +
                           ": No such file or directory\n");
    EXPECT_FALSE(std::filesystem::exists(dir_.file("out.txt")));
}

TEST_F(CliStreams, BrokenPipeLeavesNothingBehind) {
    writeFile(dir_.file("in.txt"), largeGbText());
    setup_.standardInput = dir_.file("in.txt");
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    ::close(pipeEnds[0]);  // nobody will read
    setup_.standardOutput = pipeEnds[1];
    const CliRun run = runCli({"convert", "-", "-"}, setup_);
    ::close(pipeEnds[1]);
    EXPECT_EQ(run.signal, SIGPIPE);
    expectNothingLeftBehind();
}

TEST_F(CliStreams, TerminationWhileReadingInputLeavesNothingBehind) {
    int pipeEnds[2];
    ASSERT_EQ(::pipe2(pipeEnds, O_CLOEXEC), 0);
    setup_.standardInputDescriptor = pipeEnds[0];
    CliProcess process({"convert", "-", "-"}, setup_);
    ASSERT_EQ(::write(pipeEnds[1], "\xB9\xFA\n", 3), 3);
    // The input never ends: wait until the run has taken the bytes, then end it.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    int waiting = 3;
    while (waiting > 0 && ::ioctl(pipeEnds[0], FIONREAD, &waiting) == 0 &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_EQ(waiting, 0);
    ::kill(process.pid(), SIGTERM);
    const CliRun run = process.wait();
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    EXPECT_EQ(run.signal, SIGTERM);
    expectNothingLeftBehind();
}

// A spool file has no name from the start: even SIGKILL leaves none behind.
TEST_F(CliStreams, KilledRunLeavesNoSpoolFile) {
    int pipeEnds[2];
    ASSERT_EQ(::pipe2(pipeEnds, O_CLOEXEC), 0);
    setup_.standardInputDescriptor = pipeEnds[0];
    CliProcess process({"convert", "-", "-"}, setup_);
    const std::string text = largeGbText().substr(0, 60000);
    ASSERT_EQ(::write(pipeEnds[1], text.data(), text.size()), ssize_t(text.size()));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    int waiting = 1;
    while (waiting > 0 && ::ioctl(pipeEnds[0], FIONREAD, &waiting) == 0 &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ::kill(process.pid(), SIGKILL);
    EXPECT_EQ(process.wait().signal, SIGKILL);
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    expectNothingLeftBehind();
}

// With the encoding given, a pipe is read and written as it flows: output
// comes while the input is still open, and no temporary folder is needed.
TEST_F(CliStreams, PipesFlowThroughWhenNothingIsDetected) {
    setup_.tmpdir = dir_.file("absent");
    int input[2], output[2];
    ASSERT_EQ(::pipe2(input, O_CLOEXEC), 0);
    ASSERT_EQ(::pipe2(output, O_CLOEXEC), 0);
    setup_.standardInputDescriptor = input[0];
    setup_.standardOutput = output[1];
    CliProcess process({"convert", "--from", "gb", "--to", "big5", "-", "-"}, setup_);
    ::close(input[0]);
    ::close(output[1]);
    std::string line;
    for (int i = 0; i < 40; ++i) line += "\xB9\xFA";
    line += "\n";
    std::string expected;
    for (int i = 0; i < 40; ++i) expected += "\xB0\xEA";
    expected += "\r\n";

    std::string received;
    std::atomic<std::size_t> receivedSize = 0;
    std::thread reader([&] {
        char block[4096];
        while (const ssize_t got = ::read(output[0], block, sizeof block)) {
            if (got < 0) break;
            received.append(block, std::size_t(got));
            receivedSize = received.size();
        }
    });
    // More than the reader's and the writer's buffers go in; the input stays
    // open until some output has come.
    constexpr int kLines = 20000;
    for (int i = 0; i < kLines; ++i) ASSERT_EQ(::write(input[1], line.data(), line.size()), ssize_t(line.size()));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (receivedSize == 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_GT(receivedSize, 0u);
    ::close(input[1]);
    reader.join();
    ::close(output[0]);
    const CliRun run = process.wait();
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, "");
    std::string all;
    for (int i = 0; i < kLines; ++i) all += expected;
    EXPECT_EQ(received, all);
}

// A path that names an open descriptor is written through, not replaced.
TEST_F(CliStreams, DescriptorPathsAreWrittenThrough) {
    writeFile(dir_.file("in.txt"), "\xB9\xFA\n");
    for (const char* path : {"/dev/stdout", "/proc/self/fd/1"}) {
        int output[2];
        ASSERT_EQ(::pipe2(output, O_CLOEXEC), 0);
        setup_.standardOutput = output[1];
        const CliRun run = runCli({"convert", "--from", "gb", "--to", "big5", dir_.file("in.txt"), path}, setup_);
        ::close(output[1]);
        char received[16];
        const ssize_t got = ::read(output[0], received, sizeof received);
        ::close(output[0]);
        EXPECT_EQ(run.exitCode, 0) << path;
        EXPECT_EQ(std::string(received, std::size_t(std::max<ssize_t>(got, 0))), "\xB0\xEA\r\n") << path;
    }
}

// Spooled output goes on from where standard output stands, appended to a
// file too (which the kernel's own copy refuses, so the plain copy takes it).
TEST_F(CliStreams, SpooledOutputIsAppendedWhereAsked) {
    writeFile(dir_.file("in.txt"), largeGbText());
    writeFile(dir_.file("out.txt"), "kept\n");
    const int appended = ::open(dir_.file("out.txt").c_str(), O_WRONLY | O_APPEND);
    setup_.standardOutput = appended;
    const CliRun run = runCli({"convert", "--from", "gb", "--to", "big5", dir_.file("in.txt"), "-"}, setup_);
    ::close(appended);
    EXPECT_EQ(run.exitCode, 0);
    const CliRun expected = runCli({"convert", "--from", "gb", "--to", "big5", dir_.file("in.txt"), "-"}, CliSetup{});
    EXPECT_EQ(readFile(dir_.file("out.txt")), "kept\n" + expected.out);
    expectNothingLeftBehind();
}

// An empty file at its start is written directly, and whoever writes through
// the same descriptor afterwards, as the next command of a shell's group
// would, writes after the output. Standard error in the same file keeps the
// order of its lines and the output.
TEST_F(CliStreams, EmptyOutputFileIsSharedInOrder) {
    writeFile(dir_.file("in.txt"), "\xB9\xFA\xCE\xAA\n\xA3\xAC\n");
    const CliRun expected = runCli({"convert", "--from", "gb", "--to", "big5", dir_.file("in.txt"), "-"}, setup_);
    ASSERT_EQ(expected.exitCode, 0);

    const int shared = ::open(dir_.file("out.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    setup_.standardOutput = shared;
    const CliRun run = runCli({"convert", "--from", "gb", "--to", "big5", dir_.file("in.txt"), "-"}, setup_);
    ASSERT_EQ(::write(shared, "next\n", 5), 5);
    ::close(shared);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(readFile(dir_.file("out.txt")), expected.out + "next\n");

    setup_.standardOutput = -1;
    setup_.errorsToOutput = true;
    const CliRun withErrors = runCli({"convert", "--to", "big5", dir_.file("in.txt"), "-"}, setup_);
    EXPECT_EQ(withErrors.exitCode, 0);
    EXPECT_EQ(withErrors.out, expected.out);
    expectNothingLeftBehind();
}

// Written directly, an output file that was empty is empty again when a
// signal ends the run half-way.
TEST_F(CliStreams, TerminationEmptiesTheOutputFile) {
    int input[2];
    ASSERT_EQ(::pipe2(input, O_CLOEXEC), 0);
    const int output = ::open(dir_.file("out.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    setup_.standardInputDescriptor = input[0];
    setup_.standardOutput = output;
    CliProcess process({"convert", "--from", "gb", "--to", "big5", "-", "-"}, setup_);
    ::close(input[0]);
    // The input never ends: wait until output has reached the file, then end the run.
    const std::string text = largeGbText();
    ASSERT_EQ(::write(input[1], text.data(), 1 << 20), 1 << 20);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::filesystem::file_size(dir_.file("out.txt")) == 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_GT(std::filesystem::file_size(dir_.file("out.txt")), 0u);
    ::kill(process.pid(), SIGTERM);
    const CliRun run = process.wait();
    ::close(input[1]);
    ::close(output);
    EXPECT_EQ(run.signal, SIGTERM);
    EXPECT_EQ(std::filesystem::file_size(dir_.file("out.txt")), 0u);
}

// A socket cannot be opened again through its descriptor: it is spooled.
TEST_F(CliStreams, SocketsOnBothSides) {
    int input[2], output[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, input), 0);
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, output), 0);
    ASSERT_EQ(::write(input[0], "\xB9\xFA\n", 3), 3);
    ::shutdown(input[0], SHUT_WR);
    setup_.standardInputDescriptor = input[1];
    setup_.standardOutput = output[1];
    const CliRun run = runCli({"convert", "--from", "gb", "--to", "big5", "-", "-"}, setup_);
    ::close(output[1]);
    char received[16];
    const ssize_t got = ::read(output[0], received, sizeof received);
    for (int end : {input[0], input[1], output[0]}) ::close(end);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(std::string(received, std::size_t(std::max<ssize_t>(got, 0))), "\xB0\xEA\r\n");
    expectNothingLeftBehind();
}

// Standard input and output are the files they are: writing one over the
// other is refused as for two names of one file.
TEST_F(CliStreams, StandardStreamsOfTheSameFileAreRefused) {
    const std::string f = dir_.file("f.txt");
    writeFile(f, "\xB9\xFA\n");
    const std::string refusal = "quillon-cli: SOURCE and DESTINATION are the same file; nothing was written\n";
    setup_.standardInput = f;
    const CliRun fromInput = runCli({"convert", "-", f}, setup_);
    EXPECT_EQ(fromInput.exitCode, 2);
    EXPECT_EQ(fromInput.err, refusal);

    setup_.standardInput = "/dev/null";
    const int appended = ::open(f.c_str(), O_WRONLY | O_APPEND);
    setup_.standardOutput = appended;
    const CliRun toOutput = runCli({"convert", f, "-"}, setup_);
    ::close(appended);
    EXPECT_EQ(toOutput.exitCode, 2);
    EXPECT_EQ(toOutput.err, refusal);
    EXPECT_EQ(readFile(f), "\xB9\xFA\n");

    // A device on both sides is no file to destroy.
    const int null = ::open("/dev/null", O_WRONLY);
    setup_.standardOutput = null;
    const CliRun devices = runCli({"convert", "--from", "gb", "-", "-"}, setup_);
    ::close(null);
    EXPECT_EQ(devices.exitCode, 0);
    expectNothingLeftBehind();
}

}  // namespace
}  // namespace quillon::testing
