#pragma once

#include <QtGlobal>

namespace quillon {

// The encoding boxes list the code pages' entries first, then the Unicode
// ones, appended so that stored positions keep their meaning.
inline constexpr qint32 kOutputUtf8SimplifiedPosition = 5;    // UTF-8, simplified
inline constexpr qint32 kOutputUtf8TraditionalPosition = 6;   // UTF-8, traditional

// The destination shows an output position in two boxes: the encoding, whose
// UTF-8 item stands for every Unicode position, and the written form of
// UTF-8 output, its items in the order of those positions.
inline constexpr qint32 kOutputUtf8Item = 5;
struct OutputItems {
    qint32 encoding = -1;  // -1: none
    qint32 form = 0;       // the first form stands for none
};
qint32 outputPositionOf(OutputItems items);
OutputItems outputItemsAt(qint32 position);

}  // namespace quillon
