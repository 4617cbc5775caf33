#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace quillon::testing {

// How the child's standard streams and environment are set up.
struct CliSetup {
    std::string standardInput = "/dev/null";  // a path
    int standardInputDescriptor = -1;          // else a descriptor of the caller's
    // Standard output: captured into CliRun::out unless one of these is set.
    int standardOutput = -1;  // a descriptor of the caller's to hand over
    bool closeStandardOutput = false;
    bool errorsToOutput = false;  // standard error shares standard output, as with 2>&1
    std::string tmpdir;     // TMPDIR for the child, when not empty
    std::string directory;  // working folder for the child, when not empty
    // Runs the child without the power to read and write any file that root
    // has, so that file modes hold even when the tests run as root.
    bool fileModesHold = false;
};

struct CliRun {
    int exitCode = -1;  // -1 when ended by a signal
    int signal = 0;
    std::string out;
    std::string err;
};

// A started quillon-cli whose standard output and error go to capture files.
class CliProcess {
public:
    CliProcess(const std::vector<std::string>& args, const CliSetup& setup);
    ~CliProcess();
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;

    pid_t pid() const { return pid_; }
    CliRun wait();

private:
    std::string captures_;
    pid_t pid_ = -1;
};

// Runs the quillon-cli binary under test with `args` and waits for it.
CliRun runCli(const std::vector<std::string>& args, const CliSetup& setup = {});

}  // namespace quillon::testing
