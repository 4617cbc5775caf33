#include "output_loader.h"

#include <QFileInfo>
#include <QPlainTextEdit>

#include "legacy_file.h"

namespace quillon {

std::optional<PaneExtent> loadOutput(QPlainTextEdit& pane, const QString& path, const char* converterName,
                                     qint64 byteLimit) {
    std::optional<DecodedText> decoded = readLegacyFile(path, converterName, byteLimit);
    if (!decoded) return std::nullopt;
    const qint64 fileBytes = QFileInfo(path).size();
    const PaneExtent extent{byteLimit < 0 ? fileBytes : qMin(byteLimit, fileBytes), fileBytes};
    if (!extent.whole()) {
        // The cut may fall inside a character or a line; show whole lines only.
        const qsizetype lastLineEnd = decoded->text.lastIndexOf(QLatin1Char('\n'));
        if (lastLineEnd >= 0) decoded->text.truncate(lastLineEnd + 1);
    }
    pane.setPlainText(decoded->text);
    return extent;
}

}  // namespace quillon
