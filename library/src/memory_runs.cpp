// Runs on text in memory and on streams. The engine reads and writes files
// by path, and may read its source twice: the text goes through scratch
// files of the run's own, which have no name in any folder.
#include <istream>
#include <ostream>
#include <vector>

#include "path_run.h"
#include "spool.h"

namespace quillon::api {
namespace {

const FileNames kSpooledNames{"the input", "the output"};

}  // namespace

Result run(Task task, std::string_view input, std::string& output, const Options& options) {
    Spool source;
    source.write(input.data(), input.size());
    Spool destination;
    Result result = runPaths(task, options, source.path(), destination.path(), kSpooledNames);
    output.clear();
    output.reserve(destination.size());
    destination.read([&](const char* data, std::size_t length) { output.append(data, length); });
    return result;
}

std::string convert(std::string_view input, const Options& options, Result* result) {
    std::string output;
    Result done = run(Task::Convert, input, output, options);
    if (result) *result = std::move(done);
    return output;
}

std::string format(std::string_view input, const Options& options, Result* result) {
    std::string output;
    Result done = run(Task::Format, input, output, options);
    if (result) *result = std::move(done);
    return output;
}

Result run(Task task, std::istream& input, std::ostream& output, const Options& options) {
    Spool source;
    std::vector<char> buffer(Spool::kChunk);
    while (input) {
        input.read(buffer.data(), std::streamsize(buffer.size()));
        source.write(buffer.data(), std::size_t(input.gcount()));
    }
    if (input.bad()) throw Error(Error::Kind::SourceUnreadable, "Unable to read the input stream");
    Spool destination;
    Result result = runPaths(task, options, source.path(), destination.path(), kSpooledNames);
    destination.read([&](const char* data, std::size_t length) {
        if (!output.write(data, std::streamsize(length))) {
            throw Error(Error::Kind::DestinationUnwritable, "Unable to write the output stream");
        }
    });
    return result;
}

}  // namespace quillon::api
