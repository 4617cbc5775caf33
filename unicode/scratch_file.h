#pragma once

#include <filesystem>
#include <string>
#include <system_error>

#include <unistd.h>

namespace quillon::unicode {

// A file of the run's own in the temporary folder, removed with the object.
class ScratchFile {
public:
    ScratchFile() {
        std::error_code error;
        std::string pattern =
            (std::filesystem::temp_directory_path(error) / "quillon-edge-XXXXXX").string();
        const int descriptor = ::mkstemp(pattern.data());
        if (descriptor < 0) return;
        ::close(descriptor);
        path_ = pattern;
    }
    ~ScratchFile() {
        if (!path_.empty()) ::unlink(path_.c_str());
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    bool created() const { return !path_.empty(); }
    const char* path() const { return path_.c_str(); }

private:
    std::string path_;
};

}  // namespace quillon::unicode
