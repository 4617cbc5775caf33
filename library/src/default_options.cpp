// The defaults of the options, in the command line's own words: a form
// shows what a run would take.
#include <quillon/quillon.h>

#include <string>
#include <vector>

#include "help_text.h"
#include "options_check.h"

namespace quillon::api {

Options defaultOptions() {
    std::vector<std::string> words;
    for (const cli::OptionEntry& entry : cli::optionTable()) {
        const std::string value = cli::defaultText(entry);
        if (value.empty()) continue;
        const std::string name(entry.name);
        if (entry.kind == cli::OptionEntry::Kind::Switch) {
            words.push_back((value == "on" ? "--" : "--no-") + name);
        } else {
            words.push_back("--" + name + "=" + value);
        }
    }
    return optionsOfWords(words);
}

}  // namespace quillon::api
