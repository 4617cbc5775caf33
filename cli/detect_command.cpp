#include "detect_command.h"

#include <cstdio>
#include <memory>

#include <sys/stat.h>

#include <quillon/quillon.h>

#include "error_output.h"
#include "printable_text.h"
#include "temp_file.h"

namespace quillon::cli {
namespace {

constexpr const char* kStandardInputPath = "/proc/self/fd/0";

// Detection reads a file more than once: standard input is read through a
// spool file unless it is a regular file, and a named file must be a regular
// one (a device or a pipe may never end, and a pipe gives its bytes once).
// Prints the file's line, or a message; false after a message.
bool describe(const std::string& name) {
    std::unique_ptr<api::ScratchFile> spooled;
    std::string path = name;
    if (name == "-") {
        if (!isRereadable(0) && !(spooled = spool(0, "standard input"))) return false;
        path = spooled ? spooled->path() : kStandardInputPath;
    } else if (struct stat status {}; ::stat(name.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) {
        printError(name + ": not a regular file");
        return false;
    }
    api::Detection detection;
    try {
        detection = api::detectFile(path);
    } catch (const api::Error& error) {
        // With the system's reason where it gave one.
        if (error.systemError() != 0) {
            printError(name + ": cannot be read", error.systemError());
        } else {
            printError(name + ": cannot be read");
        }
        return false;
    }
    std::printf("%s\t%s\t%s\t%s\n", printable(name).c_str(), detection.encoding.c_str(), detection.form.c_str(),
                detection.lineEnds.c_str());
    return true;
}

}  // namespace

int runDetect(const std::vector<std::string>& files) {
    int status = 0;
    for (const std::string& name : files) {
        if (!describe(name)) status = 2;
        // Each line as soon as it is known: a slow file holds up none before it.
        if (std::fflush(stdout) != 0) status = 2;
    }
    return status;
}

}  // namespace quillon::cli
