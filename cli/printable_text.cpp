#include "printable_text.h"

#include <cstdio>

namespace quillon::cli {

std::string printable(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            shown += "\\\\";
        } else if (c == '\n') {
            shown += "\\n";
        } else if (c == '\t') {
            shown += "\\t";
        } else if (c == '\r') {
            shown += "\\r";
        } else if (byte < 0x20 || byte == 0x7F) {
            char octal[5];
            std::snprintf(octal, sizeof octal, "\\%03o", byte);
            shown += octal;
        } else {
            shown += c;  // bytes from 0x80 up are the name's own encoding
        }
    }
    return shown;
}

}  // namespace quillon::cli
