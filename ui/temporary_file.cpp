#include "temporary_file.h"

#include <stdlib.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QObject>
#include <cerrno>
#include <cstring>
#include <utility>

#include "temporary_file_cleanup.h"

namespace quillon {

TemporaryFile::TemporaryFile() {
    const QString folder = QDir::tempPath();
    // Empty when TMPDIR names a folder that does not exist; never fall back
    // to the root folder.
    if (folder.isEmpty()) {
        error_ =
            QObject::tr("Cannot create a temporary file: the temporary folder does not exist");
        return;
    }
    // mkstemp replaces the last six X and creates the file with O_EXCL; the
    // X before them belongs to the prefix.
    QByteArray name = QFile::encodeName(folder + QStringLiteral("/QLXXXXXXX"));
    const int descriptor = ::mkstemp(name.data());
    if (descriptor < 0) {
        error_ = QObject::tr("Cannot create a temporary file in %1: %2")
                     .arg(QDir::toNativeSeparators(folder),
                          QString::fromLocal8Bit(std::strerror(errno)));
        return;
    }
    ::close(descriptor);
    path_ = QFile::decodeName(name);
    listTemporaryFile(name);
}

TemporaryFile::~TemporaryFile() { remove(); }

TemporaryFile::TemporaryFile(TemporaryFile&& other) noexcept
    : path_(std::exchange(other.path_, QString())), error_(std::move(other.error_)) {}

TemporaryFile& TemporaryFile::operator=(TemporaryFile&& other) noexcept {
    if (this != &other) {
        remove();
        path_ = std::exchange(other.path_, QString());
        error_ = std::move(other.error_);
    }
    return *this;
}

void TemporaryFile::remove() {
    if (path_.isEmpty()) return;
    QFile::remove(path_);
    unlistTemporaryFile(QFile::encodeName(path_));
    path_.clear();
}

}  // namespace quillon
