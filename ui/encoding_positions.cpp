#include "encoding_positions.h"

namespace quillon {

qint32 outputPositionOf(OutputItems items) {
    if (items.encoding != kOutputUtf8Item) return items.encoding;
    return kOutputUtf8SimplifiedPosition + qMax(items.form, 0);
}

OutputItems outputItemsAt(qint32 position) {
    if (position == kOutputUtf8SimplifiedPosition || position == kOutputUtf8TraditionalPosition) {
        return {kOutputUtf8Item, position - kOutputUtf8SimplifiedPosition};
    }
    return {position, 0};
}

}  // namespace quillon
