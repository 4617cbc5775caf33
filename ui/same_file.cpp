#include "same_file.h"

#include <QFile>

#include <filesystem>
#include <system_error>

namespace quillon {

bool isSameFile(const QString& first, const QString& second) {
    // File identity (device and file number), not the spelling; a path that
    // names nothing is an error here and so never the same file.
    std::error_code error;
    return std::filesystem::equivalent(QFile::encodeName(first).toStdString(),
                                       QFile::encodeName(second).toStdString(), error);
}

}  // namespace quillon
