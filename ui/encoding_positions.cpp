#include "encoding_positions.h"

namespace quillon {

qint32 sourceEncodingAt(qint32 position) {
    return position == kSourceUtf8Position ? unicode::kSourceUtf8 : position;
}

qint32 outputEncodingAt(qint32 position) {
    return position == kOutputUtf8SimplifiedPosition || position == kOutputUtf8TraditionalPosition
               ? unicode::kOutputUtf8
               : position;
}

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

unicode::EdgeChoices edgeChoicesAt(qint32 outputPosition) {
    unicode::EdgeChoices choices;
    // The dialog offers no byte-order mark: its output and clipboard text have none.
    choices.byteOrderMark = unicode::kMarkDrop;
    if (outputPosition == kOutputUtf8SimplifiedPosition) choices.form = unicode::kFormSimplified;
    if (outputPosition == kOutputUtf8TraditionalPosition) choices.form = unicode::kFormTraditional;
    return choices;
}

}  // namespace quillon
