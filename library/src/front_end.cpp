// What a front end needs of the library beyond runs: scratch files of its
// own, and the removal of unfinished files when a signal ends the process.
#include <quillon/quillon.h>

#include "options_check.h"
#include "output_file.h"
#include "run_options.h"
#include "same_file.h"
#include "scratch_file.h"

namespace quillon::api {

bool readsSourceTwice(const Options& options) {
    // Only the source's encoding decides it.
    Options source;
    source.from = options.from;
    const std::int32_t encoding = prepareRun(Task::Convert, source).edge.sourceEncoding;
    return encoding == kSourceAuto || unicode::isUnicodeSource(encoding);
}

bool sameFile(const std::string& first, const std::string& second) {
    return isSameFile(first.c_str(), second.c_str());
}

struct ScratchFile::File : unicode::ScratchFile {};

ScratchFile::ScratchFile() : file_(new File) {}
ScratchFile::~ScratchFile() { delete file_; }
bool ScratchFile::created() const noexcept { return file_->created(); }
int ScratchFile::error() const noexcept { return file_->error(); }
int ScratchFile::descriptor() const noexcept { return file_->descriptor(); }
const char* ScratchFile::path() const noexcept { return file_->path(); }
std::string ScratchFile::folder() { return unicode::scratchFolder(); }

void removeUnfinishedOutputs() noexcept { quillon::removeUnfinishedOutputs(); }

void catchEndingSignals(void (*handler)(int)) { quillon::catchEndingSignals(handler); }

}  // namespace quillon::api
