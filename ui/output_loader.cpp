#include "output_loader.h"

#include <QPlainTextEdit>

#include "legacy_file.h"

namespace quillon {

bool loadOutput(QPlainTextEdit& pane, const QString& path, const char* converterName) {
    const std::optional<DecodedText> decoded = readLegacyFile(path, converterName);
    if (!decoded) return false;
    pane.setPlainText(decoded->text);
    return true;
}

}  // namespace quillon
