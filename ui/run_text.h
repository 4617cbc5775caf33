#pragma once

#include <string>

namespace quillon {

// The script a text is written in, which picks the pane's font and its code
// page. Unicode text without one is shown as simplified.
enum class Script { None, Simplified, Traditional };

// A text a run read or wrote, as the library tells it (api::Result).
struct RunText {
    // The library's name of its encoding: GB, GBK, BIG5, PureASC or a Unicode
    // one (legacy_codec.h names those the dialog decodes); static data, so
    // that a run in a child process can report the pointer. Null: none told.
    const char* encoding = nullptr;
    bool unicode = false;
    Script script = Script::None;
};

// The text a run names by `encoding` and `form`, as api::Result does.
RunText runTextOf(const std::string& encoding, const std::string& form);

}  // namespace quillon
