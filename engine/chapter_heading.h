#pragma once

#include "encoding_profile.h"

namespace quillon {

class ClassLookup;

// Whether the trimmed line from `start` to `end`, in `source`'s encoding,
// opens a chapter or part of a book: 第 with a number and 章, 回, 节, 卷 or
// 部; 序, 序章, 楔子, 引子, 尾声 or 后记; or "Chapter" with a number in
// Arabic or Roman digits. Traditional forms count alike. The mark is the
// whole line, or a blank, colon, dot, hyphen or enumeration comma follows it
// and then a title: a line of text that merely begins with 第三章 is none.
bool opensChapter(const EncodingProfile& source, const ClassLookup& classes, const char* line, int start, int end);

}  // namespace quillon
