#include "temp_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include "error_output.h"
#include "file_run.h"
#include "standard_streams.h"

namespace quillon::cli {

using api::ScratchFile;

std::unique_ptr<ScratchFile> createSpoolFile() {
    auto file = std::make_unique<ScratchFile>();
    if (file->created()) return file;
    printError(scratchTrouble("Unable to create a temporary file"), file->error());
    return nullptr;
}

std::unique_ptr<ScratchFile> spool(int descriptor, const std::string& what) {
    auto file = createSpoolFile();
    if (!file) return nullptr;
    if (const auto failure = copyStream(descriptor, file->descriptor())) {
        printError(failure->whileReading ? "Unable to read " + what : scratchTrouble("Unable to write a temporary file"),
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
