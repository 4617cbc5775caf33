#pragma once

#include <string>
#include <string_view>

namespace quillon::cli {

// The names iconv and uconv give the encodings, beside the option table's
// own: "gb2312" and "euc-cn" are gb, "cp936" gbk, "cp950" big5, "utf8"
// utf-8. Big5-HKSCS is not among them: the Big5 table lacks its characters.

// Option values are compared as iconv compares encoding names: ASCII
// letters in either case.
bool equalsIgnoringCase(std::string_view a, std::string_view b);

// The table's name for `name` when it is such an alias, in any case; else
// `name` itself.
std::string_view canonicalEncodingName(std::string_view name);

// What --list-encodings prints: one line per encoding that --from or --to
// takes, its name first and its aliases after it.
std::string encodingList();

}  // namespace quillon::cli
