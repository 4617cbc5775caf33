// quillon-cli with many files: folders, in place, parallel jobs, and
// destinations that survive failed and interrupted runs.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "cli_runner.h"
#include "temp_files.h"

namespace quillon::testing {
namespace {

namespace fs = std::filesystem;

const std::string kGb = "\xB9\xFA\xCE\xAA\n";           // 国为
const std::string kBig5 = "\xB0\xEA\xAC\xB0\r\n";       // 國為
const std::string kGbInvalid = "\xB9\xFA\xB0\x41\n";    // 国 and an invalid pair
const std::string kBig5Invalid = "\xB0\xEA\xA1\xBC\r\n";
const std::string kAscii = "plain text\n";

// Every regular file under `root` with its bytes, by path relative to root.
std::map<std::string, std::string> treeOf(const fs::path& root) {
    std::map<std::string, std::string> tree;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_symlink()) {
            tree[entry.path().lexically_relative(root).string()] = "-> " + fs::read_symlink(entry.path()).string();
        } else if (entry.is_regular_file()) {
            tree[entry.path().lexically_relative(root).string()] = readFile(entry.path().string());
        }
    }
    return tree;
}

class CliBatch : public ::testing::Test {
protected:
    CliBatch() { setup_.directory = dir_.path().string(); }

    // gb/ with nested folders, a link out of the tree, a link inside it, a
    // file nobody may read, a file with an invalid character and plain ASCII.
    void makeTree(const std::string& root) {
        fs::create_directories(dir_.path() / root / "sub" / "deeper");
        writeFile(dir_.file(root + "/a.txt"), kGb);
        writeFile(dir_.file(root + "/ascii.txt"), kAscii);
        writeFile(dir_.file(root + "/sub/deeper/b.txt"), kGbInvalid);
        writeFile(dir_.file(root + "/sub/locked.txt"), kGb);
        fs::permissions(dir_.file(root + "/sub/locked.txt"), fs::perms::none);
        writeFile(dir_.file("outside.txt"), kGb);
        fs::create_symlink("../outside.txt", dir_.file(root + "/out-link.txt"));
        fs::create_symlink("../a.txt", dir_.file(root + "/sub/in-link.txt"));
    }

    CliRun run(std::vector<std::string> args) {
        setup_.fileModesHold = true;
        return runCli(args, setup_);
    }

    long entryCount() const { return std::distance(fs::directory_iterator(dir_.path()), fs::directory_iterator()); }

    TempDir dir_;
    CliSetup setup_;
};

TEST_F(CliBatch, TreeIntoOutputFolder) {
    makeTree("gb");
    const CliRun convert = run({"convert", "--from", "gb", "--to", "big5", "--recursive", "gb", "--output-dir", "big5"});
    EXPECT_EQ(convert.exitCode, 2);
    EXPECT_EQ(convert.err,
              "quillon-cli: gb/out-link.txt: skipped, not a regular file\n"
              "quillon-cli: gb/sub/deeper/b.txt: Warning: Invalid Chinese character found "
              "(1 in all, the first at line 1, column 2: bytes B0 41)\n"
              "quillon-cli: gb/sub/in-link.txt: skipped, not a regular file\n"
              "quillon-cli: gb/sub/locked.txt: Permission denied\n"
              "quillon-cli: 6 files: 3 converted (2 without warnings, 1 with warnings), 1 failed, 2 skipped\n");
    const std::map<std::string, std::string> converted{
        {"gb/a.txt", kBig5}, {"gb/ascii.txt", "plain text\r\n"}, {"gb/sub/deeper/b.txt", kBig5Invalid}};
    EXPECT_EQ(treeOf(dir_.path() / "big5"), converted);

    // Format refuses plain ASCII, as in a run of its own; --quiet keeps only errors.
    const CliRun format = run({"format", "--quiet", "--recursive", "gb/", "--output-dir", "formatted"});
    EXPECT_EQ(format.exitCode, 2);
    EXPECT_EQ(format.err,
              "quillon-cli: gb/ascii.txt: the source is plain ASCII text, there is nothing to format\n"
              "quillon-cli: gb/sub/locked.txt: Permission denied\n");
    EXPECT_EQ(treeOf(dir_.path() / "formatted").size(), 2u);
    EXPECT_FALSE(fs::exists(dir_.path() / "formatted/gb/ascii.txt"));
}

TEST_F(CliBatch, TreeInPlaceWithBackups) {
    makeTree("gb");
    const CliRun convert = run({"convert", "--from", "gb", "--to", "big5", "--in-place", "--backup", "--recursive", "gb"});
    EXPECT_EQ(convert.exitCode, 2);
    EXPECT_TRUE(convert.err.ends_with("quillon-cli: 6 files: 3 converted (2 without warnings, 1 with warnings), 1 failed, 2 skipped\n"));
    const std::map<std::string, std::string> converted{
        {"a.txt", kBig5},
        {"a.txt~", kGb},
        {"ascii.txt", "plain text\r\n"},
        {"ascii.txt~", kAscii},
        {"out-link.txt", "-> ../outside.txt"},
        {"sub/deeper/b.txt", kBig5Invalid},
        {"sub/deeper/b.txt~", kGbInvalid},
        {"sub/in-link.txt", "-> ../a.txt"},
        {"sub/locked.txt", kGb},  // failed: untouched, no backup
    };
    EXPECT_EQ(treeOf(dir_.path() / "gb"), converted);
    EXPECT_EQ(readFile(dir_.file("outside.txt")), kGb);

    makeTree("again");
    const CliRun format = run({"format", "--in-place", "--backup=.orig", "--recursive", "again"});
    EXPECT_EQ(format.exitCode, 2);
    EXPECT_TRUE(format.err.ends_with("quillon-cli: 6 files: 2 formatted (2 without warnings, 0 with warnings), 2 failed, 2 skipped\n")) << format.err;
    EXPECT_EQ(readFile(dir_.file("again/ascii.txt")), kAscii);
    EXPECT_FALSE(fs::exists(dir_.file("again/ascii.txt.orig")));
    EXPECT_EQ(readFile(dir_.file("again/a.txt.orig")), kGb);

    // A link named as a source: the file it reaches is replaced, and the
    // backup beside the link holds that file's old text.
    writeFile(dir_.file("fresh.txt"), kGb);
    fs::create_symlink("fresh.txt", dir_.file("fresh-link.txt"));
    const CliRun linked = run({"convert", "--from", "gb", "--to", "big5", "--in-place", "--backup", "fresh-link.txt"});
    EXPECT_EQ(linked.exitCode, 0);
    EXPECT_TRUE(fs::is_symlink(dir_.file("fresh-link.txt")));
    EXPECT_EQ(readFile(dir_.file("fresh.txt")), kBig5);
    EXPECT_EQ(readFile(dir_.file("fresh-link.txt~")), kGb);
}

// In place needs a new file beside the source: a folder that takes none
// leaves the source as it was.
TEST_F(CliBatch, InPlaceInAFolderThatTakesNoNewFile) {
    fs::create_directory(dir_.path() / "shut");
    writeFile(dir_.file("shut/a.txt"), kGb);
    fs::permissions(dir_.path() / "shut", fs::perms(0555));
    const CliRun result = run({"convert", "--from", "gb", "--to", "big5", "--in-place", "shut/a.txt"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err, "quillon-cli: shut: Permission denied\n"
                          "quillon-cli: 1 file: 0 converted (0 without warnings, 0 with warnings), 1 failed, 0 skipped\n");
    EXPECT_EQ(readFile(dir_.file("shut/a.txt")), kGb);
}

// A complete result that cannot take the source's place (its backup's name is
// a folder) fails the file, but the warnings on its text are still told,
// before the failure, and the source stays as it was.
TEST_F(CliBatch, InPlaceWarningsOutliveAFailedReplacement) {
    struct Case {
        const char* name;
        std::vector<std::string> extra;
        std::string err;
    };
    const std::string failure = "quillon-cli: bad.txt: Is a directory\n";
    const Case cases[] = {
        {"told",
         {},
         "quillon-cli: bad.txt: Warning: Invalid Chinese character found (1 in all, the first at line 1, column 2: "
         "bytes B0 41)\n" +
             failure + "quillon-cli: 1 file: 0 converted (0 without warnings, 0 with warnings), 1 failed, 0 skipped\n"},
        {"quiet", {"--quiet"}, failure},
    };
    writeFile(dir_.file("bad.txt"), kGbInvalid);
    fs::create_directories(dir_.path() / "bad.txt~" / "taken");
    for (const Case& c : cases) {
        std::vector<std::string> args{"convert", "--from", "gb", "--to", "big5", "--in-place", "--backup", "bad.txt"};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        const CliRun result = run(args);
        EXPECT_EQ(result.exitCode, 2) << c.name;
        EXPECT_EQ(result.err, c.err) << c.name;
        EXPECT_EQ(treeOf(dir_.path()), (std::map<std::string, std::string>{{"bad.txt", kGbInvalid}})) << c.name;
        EXPECT_EQ(entryCount(), 2) << c.name;  // nothing pending is left beside them
    }
}

// Runs through the Unicode edge read their source in their own way: in place,
// none of them may find it already overwritten.
TEST_F(CliBatch, InPlaceThroughTheUnicodeEdge) {
    writeFile(dir_.file("u.txt"), "\xE5\x9B\xBD\n");  // 国 in UTF-8
    writeFile(dir_.file("g.txt"), kGb);
    const CliRun unicode = run({"convert", "--from", "utf-8", "--to", "utf-8", "--in-place", "--backup", "u.txt"});
    const CliRun toUnicode = run({"convert", "--from", "gb", "--to", "utf-8", "--in-place", "g.txt"});
    EXPECT_EQ(unicode.exitCode, 0);
    EXPECT_EQ(toUnicode.exitCode, 0);
    EXPECT_EQ(readFile(dir_.file("u.txt")), "\xE5\x9C\x8B\n");  // 國
    EXPECT_EQ(readFile(dir_.file("u.txt~")), "\xE5\x9B\xBD\n");
    EXPECT_EQ(readFile(dir_.file("g.txt")), "\xE5\x9C\x8B\xE7\x82\xBA\n");  // 國為
    EXPECT_EQ(entryCount(), 3);
}

// In place, no file is run twice and no backup takes the place of another
// source: such sources are refused before anything is written.
TEST_F(CliBatch, InPlaceRefusesWhatWouldLoseText) {
    struct Case {
        const char* name;
        std::vector<std::string> sources;
        std::string err;
        std::map<std::string, std::string> tree;
    };
    const Case cases[] = {
        {"backup over another source",
         {"x", "x~"},
         "quillon-cli: x: its backup x~ would replace another source; nothing was written\n"
         "quillon-cli: 2 files: 1 converted (1 without warnings, 0 with warnings), 1 failed, 0 skipped\n",
         {{"x", kGb}, {"x~", "plain text\r\n"}, {"x~~", kAscii}, {"hard", kGb}, {"link", "-> x"}}},
        {"one file by four names",
         {"x", "./x", "link", "hard"},
         "quillon-cli: ./x: is the same file as an earlier source; nothing was written\n"
         "quillon-cli: link: is the same file as an earlier source; nothing was written\n"
         "quillon-cli: hard: is the same file as an earlier source; nothing was written\n"
         "quillon-cli: 4 files: 1 converted (1 without warnings, 0 with warnings), 3 failed, 0 skipped\n",
         {{"x", kBig5}, {"x~", kGb}, {"hard", kGb}, {"link", "-> x"}}},
    };
    for (const Case& c : cases) {
        const fs::path folder = dir_.path() / c.name;
        fs::create_directory(folder);
        writeFile((folder / "x").string(), kGb);
        writeFile((folder / "x~").string(), kAscii);
        fs::create_hard_link(folder / "x", folder / "hard");
        fs::create_symlink("x", folder / "link");
        setup_.directory = folder.string();
        std::vector<std::string> args{"convert", "--from", "gb", "--to", "big5", "--in-place", "--backup"};
        args.insert(args.end(), c.sources.begin(), c.sources.end());
        const CliRun result = run(args);
        EXPECT_EQ(result.exitCode, 2) << c.name;
        EXPECT_EQ(result.err, c.err) << c.name;
        EXPECT_EQ(treeOf(folder), c.tree) << c.name;
    }
}

// As root, another user's file stays that user's, with its group and mode.
TEST_F(CliBatch, InPlaceKeepsOwnerGroupAndMode) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root can give a file to another user";
    writeFile(dir_.file("theirs.txt"), kGb);
    ASSERT_EQ(::chown(dir_.file("theirs.txt").c_str(), 65534, 65534), 0);
    fs::permissions(dir_.file("theirs.txt"), fs::perms(0640));
    const CliRun result = runCli({"convert", "--from", "gb", "--to", "big5", "--in-place", "theirs.txt"}, setup_);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    struct stat status {};
    ASSERT_EQ(::stat(dir_.file("theirs.txt").c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, 65534u);
    EXPECT_EQ(status.st_gid, 65534u);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    EXPECT_EQ(readFile(dir_.file("theirs.txt")), kBig5);
}

// A file its user may not write is not replaced, whichever way it is the
// destination, as cp would not overwrite it; root may write it, as with cp.
TEST_F(CliBatch, WriteProtectedDestinationIsRefused) {
    if (::geteuid() == 0 && !fs::exists("/usr/bin/setpriv")) {
        GTEST_SKIP() << "no setpriv to take root's power over file modes away";
    }
    struct Case {
        const char* name;
        std::vector<std::string> args;
        std::string destination;
        std::string err;
    };
    const std::string summary = "quillon-cli: 1 file: 0 converted (0 without warnings, 0 with warnings), 1 failed, 0 skipped\n";
    const Case cases[] = {
        {"one file", {"--to", "big5", "src.txt", "dest.txt"}, "dest.txt", "quillon-cli: dest.txt: Permission denied\n"},
        {"one file to Unicode", {"--to", "utf-8", "src.txt", "dest.txt"}, "dest.txt",
         "quillon-cli: dest.txt: Permission denied\n"},
        {"output folder", {"--to", "big5", "src.txt", "--output-dir", "out"}, "out/src.txt",
         "quillon-cli: out/src.txt: Permission denied\n" + summary},
        {"in place", {"--to", "big5", "--in-place", "--backup", "dest.txt"}, "dest.txt",
         "quillon-cli: dest.txt: Permission denied\n" + summary},
    };
    fs::create_directory(dir_.path() / "out");
    writeFile(dir_.file("src.txt"), kGb);
    for (const Case& c : cases) {
        writeFile(dir_.file(c.destination), "old");
        fs::permissions(dir_.file(c.destination), fs::perms(0444));
        std::vector<std::string> args{"convert", "--from", "gb"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const CliRun refused = run(args);
        EXPECT_EQ(refused.exitCode, 2) << c.name;
        EXPECT_EQ(refused.err, c.err) << c.name;
        // Nothing is left beside it, not even a backup.
        EXPECT_EQ(treeOf(dir_.path()),
                  (std::map<std::string, std::string>{{"src.txt", kGb}, {c.destination, "old"}}))
            << c.name;
        if (::geteuid() == 0) {
            setup_.fileModesHold = false;
            const CliRun root = runCli(args, setup_);
            EXPECT_EQ(root.exitCode, 0) << c.name << ": " << root.err;
            EXPECT_NE(readFile(dir_.file(c.destination)), "old") << c.name;
        }
        fs::remove(dir_.file(c.destination));
        fs::remove(dir_.file("dest.txt~"));
    }
}

// The name a backup waits under until the run has succeeded goes with the
// run, even where the backup's name is already a link of the source's file
// (rename then leaves both names).
TEST_F(CliBatch, BackupLinkedToItsSourceLeavesNoPendingName) {
    writeFile(dir_.file("linked.txt"), kGb);
    fs::create_hard_link(dir_.file("linked.txt"), dir_.file("linked.txt~"));
    const CliRun linked = run({"convert", "--from", "gb", "--to", "big5", "--in-place", "--backup", "linked.txt"});
    EXPECT_EQ(linked.exitCode, 0);
    EXPECT_EQ(treeOf(dir_.path()),
              (std::map<std::string, std::string>{{"linked.txt", kBig5}, {"linked.txt~", kGb}}));
}

// An interrupted run with backups leaves nothing but the untouched source.
TEST_F(CliBatch, InterruptedBackupLeavesNoPendingName) {
    std::string big;
    for (int i = 0; i < 64; ++i) (big += std::string(1 << 20, 'x')) += kGb;
    writeFile(dir_.file("big.txt"), big);
    const auto pending = [&] {
        for (const auto& entry : fs::directory_iterator(dir_.path())) {
            if (entry.path().filename().string().starts_with(".quillon-backup-")) return true;
        }
        return false;
    };
    CliProcess process({"convert", "--from", "gb", "--to", "big5", "--in-place", "--backup", "big.txt"}, setup_);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!pending() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ::kill(process.pid(), SIGINT);
    const CliRun interrupted = process.wait();
    if (interrupted.signal == 0) GTEST_SKIP() << "the run ended before the signal came; nothing was interrupted";
    EXPECT_EQ(interrupted.signal, SIGINT);
    EXPECT_FALSE(pending());
    // The signal may land after the backup took its name and before the
    // result took the source's: then NAME~ holds the same old text.
    const bool backupKept = fs::exists(dir_.file("big.txt~"));
    EXPECT_EQ(entryCount(), backupKept ? 2 : 1) << [&] {
        std::string names;
        for (const auto& entry : fs::directory_iterator(dir_.path())) names += entry.path().filename().string() + " ";
        return names;
    }();
    EXPECT_TRUE(readFile(dir_.file("big.txt")) == big);
    if (backupKept) {
        EXPECT_TRUE(readFile(dir_.file("big.txt~")) == big);
    }
}

// A folder deeper than a path may reach fails and says why.
TEST_F(CliBatch, FolderBeyondThePathLimitFails) {
    // Made and removed a step at a time, as no path reaches its bottom.
    const std::string name(250, 'd');
    std::vector<int> folders{::open(dir_.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    std::string shown = "deep";
    ASSERT_EQ(::mkdirat(folders.back(), "deep", 0755), 0);
    folders.push_back(::openat(folders.back(), "deep", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    while (shown.size() < PATH_MAX) {
        ASSERT_EQ(::mkdirat(folders.back(), name.c_str(), 0755), 0);
        folders.push_back(::openat(folders.back(), name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        shown += "/" + name;
    }
    const CliRun result = run({"convert", "--to", "big5", "--recursive", "deep", "--output-dir", "out"});
    for (std::size_t level = folders.size() - 1; level > 0; --level) {
        ::close(folders[level]);
        ::unlinkat(folders[level - 1], level == 1 ? "deep" : name.c_str(), AT_REMOVEDIR);
    }
    ::close(folders[0]);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err, "quillon-cli: " + shown + ": File name too long\n"
                          "quillon-cli: 1 file: 0 converted (0 without warnings, 0 with warnings), 1 failed, 0 skipped\n");
}

// A name may hold any byte: messages show its control characters escaped.
TEST_F(CliBatch, MessagesEscapeNames) {
    writeFile(dir_.file("red\033[31m\n.txt"), kGbInvalid);
    const CliRun result = run({"convert", "--from", "gb", "--to", "big5", "--in-place", "red\033[31m\n.txt",
                               "gone\\\t.txt"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err, "quillon-cli: red\\033[31m\\n.txt: Warning: Invalid Chinese character found (1 in all, the "
                          "first at line 1, column 2: bytes B0 41)\n"
                          "quillon-cli: gone\\\\\\t.txt: No such file or directory\n"
                          "quillon-cli: 2 files: 1 converted (0 without warnings, 1 with warnings), 1 failed, 0 skipped\n");
}

TEST_F(CliBatch, SourcesAndTheirProblems) {
    writeFile(dir_.file("one.txt"), kGb);
    fs::create_directories(dir_.path() / "x");
    writeFile(dir_.file("x/one.txt"), kGb);
    fs::create_directory(dir_.path() / "folder");
    const CliRun result = run({"convert", "--to", "big5", "one.txt", "missing.txt", "folder", "x/one.txt",
                               "--output-dir", "out"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err,
              "quillon-cli: missing.txt: No such file or directory\n"
              "quillon-cli: folder: Is a directory (see --recursive)\n"
              "quillon-cli: x/one.txt: its result would overwrite an earlier source's; nothing was written\n"
              "quillon-cli: 4 files: 1 converted (1 without warnings, 0 with warnings), 3 failed, 0 skipped\n");
    EXPECT_EQ(treeOf(dir_.path() / "out"), (std::map<std::string, std::string>{{"one.txt", kBig5}}));

    // A folder that is its own output folder gets nothing written into itself.
    const CliRun itself = run({"convert", "--to", "big5", "one.txt", "--output-dir", "."});
    EXPECT_EQ(itself.err, "quillon-cli: one.txt: is its own destination; nothing was written\n"
                          "quillon-cli: 1 file: 0 converted (0 without warnings, 0 with warnings), 1 failed, 0 skipped\n");
    EXPECT_EQ(readFile(dir_.file("one.txt")), kGb);
}

TEST_F(CliBatch, JobsGiveIdenticalTrees) {
    for (int i = 0; i < 60; ++i) {
        const std::string folder = "gb/" + std::to_string(i % 4) + "/" + std::to_string(i % 3);
        fs::create_directories(dir_.path() / folder);
        std::string text;
        for (int line = 0; line <= i * 37; ++line) text += line % 5 == 0 ? kGbInvalid : kGb;
        writeFile(dir_.file(folder + "/" + std::to_string(i) + ".txt"), i % 7 == 0 ? kAscii : text);
    }
    const std::vector<std::string> options{"format", "--from", "gb", "--to", "big5", "--recursive", "gb",
                                           "--output-dir"};
    auto serialArgs = options, parallelArgs = options;
    serialArgs.insert(serialArgs.end(), {"serial", "--jobs", "1"});
    parallelArgs.insert(parallelArgs.end(), {"parallel", "--jobs", "4"});
    const CliRun serial = run(serialArgs);
    const CliRun parallel = run(parallelArgs);
    EXPECT_EQ(serial.exitCode, 1);
    EXPECT_EQ(parallel.exitCode, 1);
    EXPECT_EQ(serial.err, parallel.err);
    EXPECT_TRUE(serial.err.ends_with("quillon-cli: 60 files: 60 formatted (9 without warnings, 51 with warnings), 0 failed, 0 skipped\n"));
    EXPECT_EQ(treeOf(dir_.path() / "serial"), treeOf(dir_.path() / "parallel"));
}

// Interrupted half-way through a 100 MB run, the old destination is still there
// and no new file is left beside it.
TEST_F(CliBatch, InterruptedRunKeepsTheOldDestination) {
    {
        std::ofstream big(dir_.file("big.txt"), std::ios::binary);
        const std::string block(1 << 20, 'x');
        for (int i = 0; i < 100; ++i) big << block << kGb;
    }
    writeFile(dir_.file("out.txt"), "old");
    for (const int signal : {SIGINT, SIGTERM}) {
        CliProcess process({"convert", "--to", "big5", dir_.file("big.txt"), dir_.file("out.txt")}, setup_);
        // Wait for the new file to appear beside the destination.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (entryCount() < 3 && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        ::kill(process.pid(), signal);
        const CliRun result = process.wait();
        if (result.signal == 0) {
            GTEST_SKIP() << "the run ended before the signal came; nothing was interrupted";
        }
        EXPECT_EQ(result.signal, signal);
        EXPECT_EQ(readFile(dir_.file("out.txt")), "old");
        EXPECT_EQ(entryCount(), 2);
    }
}

// A destination on a file system without room for the result.
TEST_F(CliBatch, FullFileSystemKeepsTheOldDestination) {
    const fs::path small = dir_.path() / "small";
    fs::create_directory(small);
    if (::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=64k") != 0) {
        GTEST_SKIP() << "cannot mount a small tmpfs here (" << std::strerror(errno)
                     << "): the full file system is not tested";
    }
    std::string text;
    while (text.size() < 200'000) text += kGb;
    writeFile(dir_.file("big.txt"), text);
    writeFile((small / "out.txt").string(), "old");
    fs::create_directory(small / "spool");

    const CliRun one = runCli({"convert", "--from", "gb", "--to", "big5", dir_.file("big.txt"), (small / "out.txt").string()}, setup_);
    const CliRun many = runCli({"convert", "--to", "big5", "big.txt", "--output-dir", small.string()}, setup_);
    // A full temporary folder is named as such.
    setup_.tmpdir = (small / "spool").string();
    int pipeEnds[2];
    ASSERT_EQ(::pipe2(pipeEnds, O_CLOEXEC), 0);
    setup_.standardInputDescriptor = pipeEnds[0];
    CliProcess spooling({"convert", "-", dir_.file("spooled.txt")}, setup_);
    ::close(pipeEnds[0]);
    // The run stops reading when the spool is full: the rest meets a closed pipe.
    const auto previous = std::signal(SIGPIPE, SIG_IGN);
    [[maybe_unused]] const auto written = ::write(pipeEnds[1], text.data(), text.size());
    ::close(pipeEnds[1]);
    std::signal(SIGPIPE, previous);
    const CliRun spooled = spooling.wait();
    setup_.standardInputDescriptor = -1;
    // Output appended to a file is spooled; an empty file would be written directly.
    writeFile(dir_.file("log.txt"), "kept\n");
    setup_.standardOutput = ::open(dir_.file("log.txt").c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    const CliRun piped = runCli({"convert", "--to", "big5", dir_.file("big.txt"), "-"}, setup_);
    ::close(setup_.standardOutput);
    const std::string left = readFile((small / "out.txt").string());
    const auto entries = std::distance(fs::directory_iterator(small), fs::directory_iterator());
    ::umount(small.c_str());

    EXPECT_EQ(one.exitCode, 2);
    EXPECT_EQ(one.err, "quillon-cli: " + (small / "out.txt").string() + ": No space left on device\n");
    EXPECT_EQ(many.err, "quillon-cli: " + (small / "big.txt").string() + ": No space left on device\n"
                        "quillon-cli: 1 file: 0 converted (0 without warnings, 0 with warnings), 1 failed, 0 skipped\n");
    EXPECT_EQ(left, "old");
    EXPECT_EQ(entries, 2);  // out.txt and spool/, nothing half-written
    EXPECT_EQ(spooled.exitCode, 2);
    EXPECT_EQ(spooled.err, "quillon-cli: Unable to write a temporary file in " + (small / "spool").string() +
                               ": No space left on device\n");
    EXPECT_EQ(piped.exitCode, 2);
    EXPECT_EQ(readFile(dir_.file("log.txt")), "kept\n");
    EXPECT_EQ(piped.err, "quillon-cli: Unable to write a temporary file in " +
                             (small / "spool").string() + ": No space left on device\n");
}

}  // namespace
}  // namespace quillon::testing
