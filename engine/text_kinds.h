#pragma once

#include "char_code.h"
#include "encoding_profile.h"

// What text of Chinese with Latin words and numbers, and the rules of where a
// line may start and end, ask of a character.
namespace quillon {

constexpr bool isAsciiAlnum(CharCode c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// A character of a Latin word, number, path or address: printable ASCII
// other than the space.
constexpr bool isWordChar(CharCode c) { return c > ' ' && c < 0x7F; }

// Whether a double-byte code of `source`'s family lies in its rows of
// Chinese characters (not its symbols, letters or private codes).
bool isHanziCode(const EncodingProfile& source, CharCode code);

// Marks that may not start a line (，。、；：？！）」』” and their kin) and marks
// that may not end one (（「『“《 and their kin), in `source`'s family; ASCII
// brackets count too.
bool closesText(const EncodingProfile& source, CharCode code);
bool opensText(const EncodingProfile& source, CharCode code);

}  // namespace quillon
