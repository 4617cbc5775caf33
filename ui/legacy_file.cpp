#include "legacy_file.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <array>
#include <limits>

namespace quillon {

std::optional<DecodedText> readLegacyFile(const QString& path, const char* converterName,
                                          qint64 byteLimit) {
    // A device or a pipe may never end (/dev/zero would fill memory): only a
    // file's bytes are read back.
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) return std::nullopt;
    LegacyDecoder decoder(converterName);
    DecodedText result;
    std::array<char, 64 * 1024> block;
    for (qint64 left = byteLimit < 0 ? std::numeric_limits<qint64>::max() : byteLimit; left > 0;) {
        const qint64 count = file.read(block.data(), std::min<qint64>(left, block.size()));
        if (count <= 0) break;
        left -= count;
        decoder.decode(QByteArrayView(block.data(), count), result.text);
    }
    decoder.finish(result.text);
    result.replacedCount = decoder.replacedCount();
    return result;
}

}  // namespace quillon
