#pragma once

#include <cstddef>
#include <functional>

#include "scratch_file.h"

namespace quillon::api {

// Text on its way between memory and the engine, which reads and writes
// files by path and may read its source twice: a scratch file of the run's
// own, with no name in any folder. Its failures throw Error (ScratchFile).
class Spool {
public:
    static constexpr std::size_t kChunk = std::size_t(1) << 20;

    explicit Spool(unicode::ScratchFile::Backing backing = unicode::ScratchFile::Backing::Folder);
    void write(const char* data, std::size_t length);
    // Hands the file's bytes to `take` in pieces, from its start.
    void read(const std::function<void(const char* data, std::size_t length)>& take) const;
    std::size_t size() const;
    const char* path() const { return file_.path(); }

private:
    unicode::ScratchFile file_;
};

}  // namespace quillon::api
