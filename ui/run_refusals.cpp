#include "run_refusals.h"

#include <QDir>
#include <QFileInfo>
#include <QObject>

#include "option_policy.h"

namespace quillon {

std::optional<QString> charsPerLineRefusal(qint32 charsPerLine) {
    // The engine's policy decides; the dialog words it for its own field.
    if (refusalOf(&RunOptions::charsPerLine, charsPerLine).empty()) return std::nullopt;
    return QObject::tr("Chars Per Line must be a number other than 0");
}

std::optional<QString> sourceFileRefusal(const QString& path) {
    const QFileInfo source(path);  // follows symbolic links
    if (!source.exists() || source.isFile()) return std::nullopt;
    return QObject::tr("The source %1 is not a regular file.").arg(QDir::toNativeSeparators(path));
}

}  // namespace quillon
