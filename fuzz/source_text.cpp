#include "source_text.h"

#include "char_code.h"
#include "character_classes.h"
#include "text_formatter.h"

namespace quillon::fuzz {
namespace {

// Calls visit(code, lastPlace) for each character the engine reads in `line`.
template <typename Visit>
void forEachCharacter(std::string_view line, Visit visit) {
    const int end = static_cast<int>(line.size());
    for (int pos = 0; pos < end;) {
        const auto byte = static_cast<unsigned char>(line[pos]);
        if (byte >= 0x80 && pos + 1 == end) {
            visit(CharCode{byte}, true);
            return;
        }
        const CharAt c = readCharAt(line.data(), pos, end);
        visit(c.code, false);
        pos += c.width;
    }
}

}  // namespace

// An oracle on purpose: a second, plain reading of how the line reader cuts a
// source, so that a fault in the reader shows as a difference here.
std::vector<std::string> linePieces(std::string_view bytes) {
    std::vector<std::string> pieces;
    std::string piece;
    for (std::size_t pos = 0; pos < bytes.size() && bytes[pos] != '\x1A'; ++pos) {
        char byte = bytes[pos];
        if (byte == '\r' && pos + 1 < bytes.size() && bytes[pos + 1] == '\n') {
            byte = '\n';
            ++pos;
        }
        piece += byte;
        if (byte == '\n') {
            pieces.push_back(std::move(piece));
            piece.clear();
        } else if (piece.size() == TextFormatter::kBufferSize - 1 && pos + 1 < bytes.size() &&
                   bytes[pos + 1] != '\x1A') {
            // A piece of a longer line never ends inside a double-byte character.
            std::size_t at = 0;
            while (at + 1 < piece.size()) at += (piece[at] & 0x80) ? 2 : 1;
            std::string carried;
            if (at + 1 == piece.size() && (piece[at] & 0x80)) {
                carried = piece.substr(at);
                piece.pop_back();
            }
            pieces.push_back(std::move(piece));
            piece = std::move(carried);
        }
    }
    if (!piece.empty()) pieces.push_back(std::move(piece));
    return pieces;
}

std::string_view withoutLineFeed(std::string_view piece) {
    return piece.ends_with('\n') ? piece.substr(0, piece.size() - 1) : piece;
}

bool isWellFormed(const std::vector<std::string>& pieces, const EncodingProfile& profile) {
    bool wellFormed = true;
    for (const std::string& piece : pieces) {
        forEachCharacter(withoutLineFeed(piece), [&](CharCode code, bool lastPlace) {
            if (lastPlace) wellFormed = false;
            if (!isDoubleByte(code)) return;
            const unsigned lead = code >> 8;
            const unsigned trail = code & 0xFF;
            wellFormed = wellFormed && lead >= profile.leadMin && lead <= profile.leadMax &&
                         trail >= profile.trailMin && trail <= profile.trailMax;
        });
    }
    return wellFormed;
}

bool hasSeparatorMark(const std::vector<std::string>& pieces, const EncodingProfile& profile) {
    bool found = false;
    for (const std::string& piece : pieces) {
        forEachCharacter(withoutLineFeed(piece), [&](CharCode code, bool) {
            found = found || isSeparatorMark(profile, code);
        });
    }
    return found;
}

std::size_t countVisibleCharacters(std::string_view line, const EncodingProfile& profile) {
    std::size_t count = 0;
    forEachCharacter(line, [&](CharCode code, bool) {
        if (code != 0 && code != '\t' && !isBlank(profile, code)) ++count;
    });
    return count;
}

bool endsOnCharacter(std::string_view line) {
    bool lonelyLead = false;
    forEachCharacter(line, [&](CharCode, bool lastPlace) { lonelyLead = lastPlace; });
    return !lonelyLead;
}

}  // namespace quillon::fuzz
