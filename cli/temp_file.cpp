#include "temp_file.h"

#include <cerrno>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "error_output.h"
#include "standard_streams.h"

namespace quillon::cli {

std::string tempFolder() {
    const char* folder = std::getenv("TMPDIR");
    return folder != nullptr && *folder != '\0' ? folder : "/tmp";
}

std::unique_ptr<TempFile> TempFile::create() {
    const std::string folder = tempFolder();
    int descriptor = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    // File systems without unnamed files: a named one, unnamed at once.
    if (descriptor < 0 && (errno == EOPNOTSUPP || errno == EISDIR)) {
        std::string pattern = folder + "/quillon-cli-XXXXXX";
        descriptor = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (descriptor >= 0) ::unlink(pattern.c_str());
    }
    if (descriptor < 0) return nullptr;
    return std::unique_ptr<TempFile>(new TempFile(descriptor));
}

TempFile::TempFile(int descriptor)
    : descriptor_(descriptor), path_("/proc/self/fd/" + std::to_string(descriptor)) {}

TempFile::~TempFile() { ::close(descriptor_); }

std::string tempFileTrouble(std::string_view what) { return std::string(what) + " in " + tempFolder(); }

std::unique_ptr<TempFile> createSpoolFile() {
    auto file = TempFile::create();
    if (!file) printError(tempFileTrouble("Unable to create a temporary file"), errno);
    return file;
}

std::unique_ptr<TempFile> spool(int descriptor, const std::string& what) {
    auto file = createSpoolFile();
    if (!file) return nullptr;
    if (const auto failure = copyStream(descriptor, file->descriptor())) {
        printError(failure->whileReading ? "Unable to read " + what : tempFileTrouble("Unable to write a temporary file"),
                   failure->error);
        return nullptr;
    }
    return file;
}

bool isRereadable(int descriptor) {
    struct stat status {};
    return ::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) &&
           ::lseek(descriptor, 0, SEEK_CUR) == 0;
}

}  // namespace quillon::cli
