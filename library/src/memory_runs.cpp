// Runs on text in memory and on streams. Most runs read their source where
// it lies, or as it comes, and write as they go: the text goes between memory
// and the engine directly. The others read their source by path: the text
// goes through scratch files of the run's own, which have no name in any
// folder.
#include <istream>
#include <ostream>
#include <vector>

#include "file_failure.h"
#include "large_pages.h"
#include "not_text.h"
#include "path_run.h"
#include "spool.h"

namespace quillon::api {
namespace {

const FileNames kSpooledNames{"the input", "the output"};

[[noreturn]] void outputStreamFailed() {
    throw Error(Error::Kind::DestinationUnwritable, "Unable to write the output stream");
}

[[noreturn]] void inputStreamFailed() { throw Error(Error::Kind::SourceUnreadable, "Unable to read the input stream"); }

}  // namespace

Result run(Task task, std::string_view input, const OutputSink& output, const Options& options) {
    if (std::optional<Result> done =
            runInMemory(task, options, input, {output.write, output.restart}, kSpooledNames)) {
        return std::move(*done);
    }
    // The text and its result are in memory anyway: so are their spools.
    Spool source(unicode::ScratchFile::Backing::Memory);
    source.write(input.data(), input.size());
    Spool destination(unicode::ScratchFile::Backing::Memory);
    Result result = runPaths(task, options, source.path(), destination.path(), kSpooledNames);
    destination.read([&](const char* data, std::size_t length) {
        if (!output.write(data, length)) {
            throw Error(Error::Kind::DestinationUnwritable,
                        unicode::fileFailure(kSpooledNames.destination, 0, kDestinationUnwritable));
        }
    });
    return result;
}

Result run(Task task, std::string_view input, std::string& output, const Options& options) {
    output.clear();
    // Room is made once, for twice the text: ASCII doubles in UTF-16, hanzi
    // grow by half from GB or Big5 to UTF-8. Pages never written cost no memory.
    output.reserve(2 * input.size() + 16);
    adviseLargePages(output.data(), output.capacity());
    const OutputSink appended{[&](const char* data, std::size_t length) {
                                  output.append(data, length);
                                  return true;
                              },
                              [&] { output.clear(); }};
    return run(task, input, appended, options);
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
    // The first block is read ahead to judge the text, and handed on first.
    std::string firstBlock;
    const auto open = [&] {
        firstBlock.resize(unicode::kFirstBlock);
        input.read(firstBlock.data(), std::streamsize(firstBlock.size()));
        firstBlock.resize(std::size_t(input.gcount()));
        TextReader::BlockSource text = [&input, head = blockSourceOf(firstBlock)](unsigned char* into,
                                                                             std::size_t room) mutable {
            if (const std::size_t n = head(into, room); n > 0) return n;
            if (!input) return std::size_t{0};
            input.read(reinterpret_cast<char*>(into), std::streamsize(room));
            return std::size_t(input.gcount());
        };
        return StreamedSource{firstBlock, std::move(text)};
    };
    bool written = true;
    const auto write = [&](const char* data, std::size_t length) {
        written = written && output.write(data, std::streamsize(length));
        return written;
    };
    std::optional<Result> streamed;
    try {
        // A stream is not read again: its warnings are not placed.
        streamed = runStreamed(task, options, open, write, kSpooledNames, {});
    } catch (const Error&) {
        // The run ends at a stream that fails, which is the cause to tell.
        if (!written) outputStreamFailed();
        if (input.bad()) inputStreamFailed();
        throw;
    }
    if (streamed) {
        // A source that ends early looks like a shorter text to the run.
        if (input.bad()) inputStreamFailed();
        return std::move(*streamed);
    }
    Spool source;
    std::vector<char> buffer(Spool::kChunk);
    while (input) {
        input.read(buffer.data(), std::streamsize(buffer.size()));
        source.write(buffer.data(), std::size_t(input.gcount()));
    }
    if (input.bad()) inputStreamFailed();
    Spool destination;
    Result result = runPaths(task, options, source.path(), destination.path(), kSpooledNames);
    destination.read([&](const char* data, std::size_t length) {
        if (!output.write(data, std::streamsize(length))) outputStreamFailed();
    });
    return result;
}

}  // namespace quillon::api
