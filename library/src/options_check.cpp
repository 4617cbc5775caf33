#include "options_check.h"

#include <cstdio>
#include <string>
#include <vector>

#include "command_line.h"

namespace quillon::api {
namespace {

// "--name=value" for each option set, in the command line's own words.
class Arguments {
public:
    void keyword(const char* name, const std::string& value) {
        if (!value.empty()) words_.push_back(std::string("--") + name + "=" + value);
    }
    void number(const char* name, const std::optional<std::int32_t>& value) {
        if (!value) return;
        // snprintf rather than std::to_string: the latter's digit table would
        // be exported from the library as a unique symbol.
        char digits[16];
        std::snprintf(digits, sizeof digits, "%d", int(*value));
        words_.push_back(std::string("--") + name + "=" + digits);
    }
    void each(const char* name, const std::vector<std::string>& values) {
        // Each given, even an empty name: the command line refuses it as it would.
        for (const std::string& value : values) words_.push_back(std::string("--") + name + "=" + value);
    }
    void toggle(const char* name, const std::optional<bool>& value) {
        if (value) words_.push_back(std::string(*value ? "--" : "--no-") + name);
    }
    std::vector<std::string>& words() { return words_; }

private:
    std::vector<std::string> words_;
};

}  // namespace

EdgeChoices edgeOptionsOf(Task task, const Options& options) {
    Arguments arguments;
    arguments.words().push_back(task == Task::Convert ? "convert" : "format");
    arguments.keyword("from", options.from);
    arguments.keyword("to", options.to);
    arguments.keyword("form", options.form);
    arguments.keyword("line-ends", options.lineEnds);
    arguments.keyword("standard", options.standard);
    arguments.toggle("regional-words", options.regionalWords);
    arguments.keyword("opencc", options.opencc);
    arguments.toggle("phrases", options.phrases);
    arguments.toggle("html", options.html);
    arguments.keyword("quotes", options.quotes);
    arguments.keyword("bom", options.bom);
    arguments.each("dictionary", options.dictionaries);
    arguments.number("chars-per-line", options.charsPerLine);
    arguments.number("line-spacing", options.lineSpacing);
    arguments.number("lead-spaces", options.leadSpaces);
    arguments.number("left-margin", options.leftMargin);
    arguments.keyword("paragraph", options.paragraph);
    arguments.keyword("heading", options.heading);
    arguments.toggle("fullwidth-spaces", options.fullwidthSpaces);
    arguments.toggle("auto-fix", options.autoFix);
    arguments.toggle("natural-syntax", options.naturalSyntax);
    arguments.toggle("mixed-text", options.mixedText);
    arguments.toggle("line-start-rules", options.lineStartRules);
    arguments.toggle("chapter-headings", options.chapterHeadings);
    arguments.toggle("space-between-scripts", options.spaceBetweenScripts);
    arguments.keyword("heading-pattern", options.headingPattern);
    // Standard input to standard output: the operands only complete the line.
    arguments.words().insert(arguments.words().end(), {"--", "-", "-"});

    std::vector<const char*> args;
    for (const std::string& word : arguments.words()) args.push_back(word.c_str());
    const cli::CommandLine line = cli::parseCommandLine(args);
    if (line.action != cli::CommandLine::Action::Run) throw Error(Error::Kind::BadOption, line.error);
    EdgeChoices choices{line.options, nullptr};
    if (!line.dictionaries.empty()) {
        std::string error;
        std::optional<unicode::UserWords> words = unicode::UserWords::read(line.dictionaries, error);
        if (!words) throw Error(Error::Kind::BadOption, error);
        choices.words = std::make_unique<const unicode::UserWords>(std::move(*words));
        choices.edge.userWords = choices.words.get();
    }
    return choices;
}

}  // namespace quillon::api
