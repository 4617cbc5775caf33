#include "legacy_file.h"

#include <QFile>
#include <array>

namespace quillon {

std::optional<DecodedText> readLegacyFile(const QString& path, const char* converterName) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    LegacyDecoder decoder(converterName);
    DecodedText result;
    std::array<char, 64 * 1024> block;
    for (;;) {
        const qint64 count = file.read(block.data(), block.size());
        if (count <= 0) break;
        decoder.decode(QByteArrayView(block.data(), count), result.text);
    }
    decoder.finish(result.text);
    result.replacedCount = decoder.replacedCount();
    return result;
}

}  // namespace quillon
