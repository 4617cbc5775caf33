#include "encoding_names.h"

#include <algorithm>
#include <vector>

#include "option_table.h"
#include "run_options.h"

namespace quillon::cli {
namespace {

struct Alias {
    std::string_view alias;
    std::string_view name;
};

constexpr Alias kAliases[] = {
    {"gb2312", "gb"}, {"euc-cn", "gb"}, {"cp936", "gbk"}, {"cp950", "big5"}, {"utf8", "utf-8"},
    {"utf16", "utf-16"}, {"utf16le", "utf-16le"}, {"utf16be", "utf-16be"},
};

// A choice of --from or --to that names an encoding rather than a rule
// (auto, same, different).
bool namesEncoding(const OptionEntry& entry, const Choice& choice) {
    if (entry.field == &RunOptions::sourceEncoding) return choice.value != kSourceAuto;
    return choice.value != kOutputSame && choice.value != kOutputDifferent;
}

}  // namespace

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return std::ranges::equal(a, b, [&](char x, char y) { return lower(x) == lower(y); });
}

std::string_view canonicalEncodingName(std::string_view name) {
    for (const Alias& alias : kAliases) {
        if (equalsIgnoringCase(name, alias.alias)) return alias.name;
    }
    return name;
}

std::string encodingList() {
    std::vector<std::string_view> names;
    for (const OptionEntry& entry : optionTable()) {
        if (entry.field != &RunOptions::sourceEncoding && entry.field != &RunOptions::outputEncoding) continue;
        for (const Choice& choice : entry.choices) {
            if (namesEncoding(entry, choice) && std::ranges::find(names, choice.name) == names.end()) {
                names.push_back(choice.name);
            }
        }
    }
    std::string list;
    for (const std::string_view name : names) {
        list += name;
        for (const Alias& alias : kAliases) {
            if (alias.name == name) (list += ' ') += alias.alias;
        }
        list += '\n';
    }
    return list;
}

}  // namespace quillon::cli
