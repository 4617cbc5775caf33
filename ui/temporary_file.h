#pragma once

#include <QString>

namespace quillon {

// An empty file with a new name "QLX" + six characters in the system's
// temporary folder, created exclusively and closed so that other code can open
// it by path. The destructor deletes it.
class TemporaryFile {
public:
    // On failure isValid() is false and errorString() says why.
    TemporaryFile();
    ~TemporaryFile();
    TemporaryFile(TemporaryFile&& other) noexcept;
    TemporaryFile& operator=(TemporaryFile&& other) noexcept;
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool isValid() const { return !path_.isEmpty(); }
    const QString& path() const { return path_; }
    // Readable reason of the last failure, naming the file or folder.
    const QString& errorString() const { return error_; }

private:
    void remove();

    QString path_;  // empty when there is no file
    QString error_;
};

}  // namespace quillon
