#include <quillon/quillon.h>

#include "file_failure.h"
#include "source_detection.h"
#include "spool.h"

namespace quillon::api {
namespace {

Detection detectionOf(const unicode::SourceDescription& description) {
    return {description.encoding, unicode::nameOf(description.form), unicode::nameOf(description.lineEnds)};
}

}  // namespace

Detection detectFile(const std::string& path) {
    const auto description = unicode::describeSource(path.c_str());
    if (!description) {
        const int error = unicode::openError(path.c_str());
        throw Error(Error::Kind::SourceUnreadable, unicode::fileFailure(path, error, kSourceUnreadable), error);
    }
    return detectionOf(*description);
}

Detection detect(std::string_view bytes) {
    Spool text;
    text.write(bytes.data(), bytes.size());
    const auto description = unicode::describeSource(text.path());
    if (!description) {
        throw Error(Error::Kind::ScratchFile, "Unable to read a temporary file in " + unicode::scratchFolder());
    }
    return detectionOf(*description);
}

}  // namespace quillon::api
