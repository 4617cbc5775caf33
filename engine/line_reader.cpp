#include "line_reader.h"

namespace quillon {

int LineReader::readLine(char* line, int size) {
    int length = 0;
    if (hasCarried_) {
        line[length++] = carried_;
        hasCarried_ = false;
    }
    length += reader_.readLine(line + length, size - length);

    const bool pieceOfLongerLine =
        length == size - 1 && line[length - 1] != '\n' && !reader_.atEnd();
    midLine_ = pieceOfLongerLine;
    if (!pieceOfLongerLine) return length;
    int pos = 0;
    while (pos < length - 1) pos += (static_cast<unsigned char>(line[pos]) & 0x80) ? 2 : 1;
    if (pos == length - 1 && (static_cast<unsigned char>(line[pos]) & 0x80)) {
        carried_ = line[pos];
        hasCarried_ = true;
        line[--length] = '\0';
    }
    return length;
}

}  // namespace quillon
