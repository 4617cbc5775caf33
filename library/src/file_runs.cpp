#include <sys/stat.h>

#include "path_run.h"

namespace quillon::api {

Result runFile(Task task, const std::string& source, const std::string& destination, const Options& options) {
    return runFile(PreparedOptions(task, options), source, destination, {source, destination});
}

Result runFile(const PreparedOptions& prepared, const std::string& source, const std::string& destination,
               const FileNames& names) {
    // Writing a regular file from itself would empty it before it is read.
    struct stat from {}, to {};
    if (::stat(source.c_str(), &from) == 0 && S_ISREG(from.st_mode) && ::stat(destination.c_str(), &to) == 0 &&
        from.st_dev == to.st_dev && from.st_ino == to.st_ino) {
        throw Error(Error::Kind::DestinationUnwritable, destination + ": the source and destination are the same file");
    }
    return runPaths(prepared.run(), source.c_str(), destination.c_str(), names);
}

}  // namespace quillon::api
