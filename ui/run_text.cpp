#include "run_text.h"

namespace quillon {
namespace {

struct Known {
    const char* name;
    bool unicode;
    Script script;  // for a Unicode encoding: its text's when none is told
};
// Unicode text is taken in the script of its form; a code page has its own.
constexpr Known kKnown[] = {
    {"GB", false, Script::Simplified},   {"GBK", false, Script::Simplified},    {"BIG5", false, Script::Traditional},
    {"PureASC", false, Script::None},    {"UTF-8", true, Script::Simplified},   {"UTF-16LE", true, Script::Simplified},
    {"UTF-16BE", true, Script::Simplified}, {"GB18030", true, Script::Simplified},
};

}  // namespace

RunText runTextOf(const std::string& encoding, const std::string& form) {
    for (const Known& known : kKnown) {
        if (encoding != known.name) continue;
        const Script script = known.unicode && form == "traditional" ? Script::Traditional : known.script;
        return {known.name, known.unicode, script};
    }
    return {};
}

}  // namespace quillon
