#pragma once

#include "char_code.h"

// The GBK codes (GB's, where GB has the character) of the simplified marks that open a chapter or part, made by
// tools/generate_chapter_marks.py. Each list ends with a 0.
namespace quillon::chapter_marks {

extern const CharCode kOrdinal;
extern const CharCode kNumerals[];
extern const CharCode kKinds[];
// Words of up to two characters, each ended by 0; an empty word ends the list.
extern const CharCode kWords[][3];

}  // namespace quillon::chapter_marks
