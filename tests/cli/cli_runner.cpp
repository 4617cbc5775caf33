#include "cli_runner.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "temp_files.h"

extern char** environ;

namespace quillon::testing {
namespace {

// Drops capabilities and then runs the program in its own place (util-linux).
constexpr const char* kSetpriv = "/usr/bin/setpriv";

std::vector<std::string> childEnvironment(const CliSetup& setup) {
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (std::strncmp(*entry, "TMPDIR=", 7) != 0) environment.emplace_back(*entry);
    }
    if (!setup.tmpdir.empty()) environment.push_back("TMPDIR=" + setup.tmpdir);
    return environment;
}

}  // namespace

CliProcess::CliProcess(const std::vector<std::string>& args, const CliSetup& setup) {
    std::string pattern = (std::filesystem::temp_directory_path() / "quillon-cli-run-XXXXXX").string();
    captures_ = ::mkdtemp(pattern.data());
    const std::string outPath = captures_ + "/stdout";
    const std::string errPath = captures_ + "/stderr";

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!setup.directory.empty()) posix_spawn_file_actions_addchdir_np(&actions, setup.directory.c_str());
    if (setup.standardInputDescriptor >= 0) {
        posix_spawn_file_actions_adddup2(&actions, setup.standardInputDescriptor, 0);
    } else {
        posix_spawn_file_actions_addopen(&actions, 0, setup.standardInput.c_str(), O_RDONLY, 0);
    }
    if (setup.closeStandardOutput) {
        posix_spawn_file_actions_addclose(&actions, 1);
    } else if (setup.standardOutput >= 0) {
        posix_spawn_file_actions_adddup2(&actions, setup.standardOutput, 1);
    } else {
        posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    }
    if (setup.errorsToOutput) {
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
    } else {
        posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    }

    // A broken pipe kills the child as it would in a shell, whatever this process does.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);

    std::vector<std::string> environment = childEnvironment(setup);
    std::vector<std::string> command;
    if (setup.fileModesHold) command = {kSetpriv, "--bounding-set=-dac_override,-dac_read_search", "--"};
    command.push_back(QUILLON_CLI_PATH);
    command.insert(command.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (const std::string& arg : command) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);

    const int spawned = posix_spawn(&pid_, argv[0], &actions, &attributes, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (spawned != 0) throw std::runtime_error(std::string("cannot run ") + QUILLON_CLI_PATH);
}

CliProcess::~CliProcess() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        wait();
    }
    std::error_code ignored;
    std::filesystem::remove_all(captures_, ignored);
}

CliRun CliProcess::wait() {
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    CliRun run;
    if (WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) run.signal = WTERMSIG(status);
    run.out = readFile(captures_ + "/stdout");
    run.err = readFile(captures_ + "/stderr");
    return run;
}

CliRun runCli(const std::vector<std::string>& args, const CliSetup& setup) {
    return CliProcess(args, setup).wait();
}

}  // namespace quillon::testing
