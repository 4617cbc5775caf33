#include "run_choices.h"

#include <algorithm>
#include <optional>
#include <span>
#include <string>
#include <variant>

#include "encoding_positions.h"

namespace quillon {
namespace {

// The option values a list's positions stand for, in the order the dialog
// lists them.
using Names = std::span<const char* const>;
constexpr const char* kSourceNames[] = {"auto", "gb", "gbk", "big5", "utf-8"};
// The two UTF-8 outputs differ in their form (libraryOptions).
constexpr const char* kOutputNames[] = {"same", "gb", "gbk", "big5", "different", "utf-8", "utf-8"};
constexpr const char* kParagraphNames[] = {"auto", "one-line", "empty-line", "leading-spaces", "force"};
constexpr const char* kHeadingNames[] = {"left", "middle", "right", "normal"};
constexpr const char* kStandardNames[] = {"auto", "generic", "taiwan", "hongkong"};
constexpr const char* kQuoteNames[] = {"keep", "corner", "curly"};

struct Listed {
    std::string api::Options::*option;
    Names names;
};
// A number, a switch (a three-state box's -1 leaves it unset), or a position
// in a list.
using Option = std::variant<std::optional<std::int32_t> api::Options::*, std::optional<bool> api::Options::*, Listed>;

struct Mapped {
    qint32 RunChoices::*choice;
    Option option;
};

using O = api::Options;
using C = RunChoices;
const Mapped kMapped[] = {
    {&C::sourceEncoding, Listed{&O::from, kSourceNames}},
    {&C::outputEncoding, Listed{&O::to, kOutputNames}},
    {&C::htmlAware, &O::html},
    {&C::charsPerLine, &O::charsPerLine},
    {&C::lineSpacing, &O::lineSpacing},
    {&C::leadingSpaces, &O::leadSpaces},
    {&C::leftMargin, &O::leftMargin},
    {&C::paragraphMode, Listed{&O::paragraph, kParagraphNames}},
    {&C::headingAlignment, Listed{&O::heading, kHeadingNames}},
    {&C::fullWidthSpaces, &O::fullwidthSpaces},
    {&C::autoFix, &O::autoFix},
    {&C::naturalSyntax, &O::naturalSyntax},
    {&C::phraseChoice, &O::phrases},
    {&C::regionalWords, &O::regionalWords},
    {&C::standard, Listed{&O::standard, kStandardNames}},
    {&C::quoteStyle, Listed{&O::quotes, kQuoteNames}},
    {&C::chapterChoice, &O::chapterHeadings},
    {&C::mixedTextChoice, &O::mixedText},
    {&C::spaceBetweenScripts, &O::spaceBetweenScripts},
    {&C::lineStartChoice, &O::lineStartRules},
};

template <typename... F>
struct Overload : F... {
    using F::operator()...;
};
template <typename... F>
Overload(F...) -> Overload<F...>;

}  // namespace

RunChoices firstStartChoices() {
    const api::Options defaults = api::defaultOptions();
    RunChoices choices;
    for (const Mapped& mapped : kMapped) {
        qint32& choice = choices.*mapped.choice;
        std::visit(Overload{[&](std::optional<std::int32_t> api::Options::*number) { choice = (defaults.*number).value_or(0); },
                            [&](std::optional<bool> api::Options::*on) {
                                const std::optional<bool> value = defaults.*on;
                                choice = value ? qint32(*value) : -1;
                            },
                            [&](const Listed& listed) {
                                const auto found = std::find(listed.names.begin(), listed.names.end(), defaults.*listed.option);
                                choice = found == listed.names.end() ? -1 : qint32(found - listed.names.begin());
                            }},
                   mapped.option);
    }
    choices.phraseChoice = 1;
    return choices;
}

api::Options libraryOptions(const RunChoices& choices, const QString& headingPattern) {
    const api::Options defaults = api::defaultOptions();
    api::Options options;
    for (const Mapped& mapped : kMapped) {
        const qint32 choice = choices.*mapped.choice;
        std::visit(Overload{[&](std::optional<std::int32_t> api::Options::*number) { options.*number = choice; },
                            [&](std::optional<bool> api::Options::*on) {
                                if (choice >= 0) options.*on = choice != 0;
                            },
                            [&](const Listed& listed) {
                                const bool listedOne = choice >= 0 && choice < qint32(listed.names.size());
                                options.*listed.option = listedOne ? listed.names[choice] : defaults.*listed.option;
                            }},
                   mapped.option);
    }
    // The output box's UTF-8 positions also name the form.
    if (choices.outputEncoding == kOutputUtf8SimplifiedPosition) options.form = "simplified";
    if (choices.outputEncoding == kOutputUtf8TraditionalPosition) options.form = "traditional";
    options.bom = "drop";
    options.headingPattern = headingPattern.toStdString();
    return options;
}

api::Options optionsFor(RunKind kind, const api::Options& options) {
    if (kind == RunKind::Format) return options;
    api::Options convert;
    convert.from = options.from;
    convert.to = options.to;
    convert.form = options.form;
    convert.lineEnds = options.lineEnds;
    convert.standard = options.standard;
    convert.regionalWords = options.regionalWords;
    convert.opencc = options.opencc;
    convert.phrases = options.phrases;
    convert.html = options.html;
    convert.quotes = options.quotes;
    convert.bom = options.bom;
    convert.dictionaries = options.dictionaries;
    convert.trace = options.trace;
    return convert;
}

}  // namespace quillon
