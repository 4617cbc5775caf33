#include <sys/stat.h>

#include "path_run.h"
#include "same_file.h"

namespace quillon::api {

Result runFile(Task task, const std::string& source, const std::string& destination, const Options& options) {
    return runFile(task, source, destination, options, {source, destination});
}

Result runFile(Task task, const std::string& source, const std::string& destination, const Options& options,
               const FileNames& names) {
    // Writing a regular file from itself would empty it before it is read.
    struct stat status {};
    if (isSameFile(source.c_str(), destination.c_str()) && ::stat(source.c_str(), &status) == 0 &&
        S_ISREG(status.st_mode)) {
        throw Error(Error::Kind::DestinationUnwritable, destination + ": the source and destination are the same file");
    }
    return runPaths(task, options, source.c_str(), destination.c_str(), names);
}

}  // namespace quillon::api
