// What --help lists against what the command line takes: every option the
// parser reads is listed, nothing listed is unknown to it, and what a number's
// help says it takes is what the parser takes.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "batch_options.h"
#include "command_line.h"
#include "help_text.h"
#include "option_table.h"
#include "short_options.h"

namespace quillon::cli {
namespace {

CommandLine parsed(const std::vector<std::string>& args) {
    std::vector<const char*> pointers;
    for (const std::string& arg : args) pointers.push_back(arg.c_str());
    return parseCommandLine(pointers);
}

// The option column of a command's help, a line per option: "-f, --from a|b".
std::vector<std::string> listedForms(Command command) {
    std::vector<std::string> forms;
    const std::string help = helpText(command);
    for (std::size_t start = 0, end; (end = help.find('\n', start)) != help.npos; start = end + 1) {
        const std::string_view line = std::string_view(help).substr(start, end - start);
        if (!line.starts_with("  -")) continue;
        forms.emplace_back(line.substr(2, line.find("  ", 2) - 2));
    }
    return forms;
}

// The options a form line names, each as written alone ("-f", "--from",
// "--no-html"), and whether they take a value.
struct Listed {
    std::string option;
    bool takesValue;
};
std::vector<Listed> optionsIn(std::string_view forms) {
    std::vector<std::string_view> written;
    for (std::string_view rest = forms; !rest.empty();) {
        const std::size_t comma = rest.find(", ");
        written.push_back(rest.substr(0, comma));
        rest.remove_prefix(comma == rest.npos ? rest.size() : comma + 2);
    }
    // The value's word follows the last form: "-j, --jobs N", "--backup[=SUFFIX]".
    std::string_view& last = written.back();
    const std::size_t value = last.find_first_of(" [");
    last = last.substr(0, value);
    std::vector<Listed> options;
    for (const std::string_view option : written) {
        options.push_back({std::string(option), value != std::string_view::npos && !option.starts_with("--no-")});
    }
    return options;
}

// Every way the tables let a command's options be written.
std::set<std::string> tableOptions(Command command) {
    std::set<std::string> names;
    const auto add = [&](std::string_view name) {
        names.insert("--" + std::string(name));
        if (const std::string_view shortForm = shortFormOf(name); !shortForm.empty()) {
            names.emplace(shortForm.substr(0, 2));
        }
    };
    for (const OptionEntry& entry : optionTable()) {
        if (!appliesTo(entry, command)) continue;
        add(entry.name);
        if (entry.kind == OptionEntry::Kind::Switch) names.insert("--no-" + std::string(entry.name));
    }
    for (const BatchOptionRow& row : kRunOptionRows) add(row.name);
    for (const BatchOptionRow& row : batchOptionRows()) add(row.name);
    add("help");
    return names;
}

TEST(OptionListing, HelpListsWhatTheParserTakesAndNothingElse) {
    for (const Command command : {Command::Convert, Command::Format}) {
        const std::string name(commandName(command));
        std::set<std::string> listed;
        for (const std::string& forms : listedForms(command)) {
            for (const Listed& option : optionsIn(forms)) {
                EXPECT_TRUE(listed.insert(option.option).second) << name << ": listed twice: " << option.option;
                std::vector<std::string> args{name, option.option};
                if (option.takesValue) args.emplace_back("1");
                const CommandLine line = parsed(args);
                EXPECT_FALSE(line.action == CommandLine::Action::UsageError &&
                             line.error.starts_with("unknown option"))
                    << name << " " << option.option << ": " << line.error;
            }
        }
        EXPECT_EQ(listed, tableOptions(command)) << name;
    }
}

// A number's help says which values it takes, in the parentheses with its
// default; the parser takes exactly those.
TEST(OptionListing, NumberHelpSaysWhatTheParserTakes) {
    struct Claim {
        std::string_view said;  // what the note starts with
        std::vector<std::string> taken, refused;
    };
    const Claim claims[] = {
        {"0 or more, ", {"0", "1"}, {"-1"}},
        {"not 0, ", {"-1", "1"}, {"0"}},
        {"default ", {"-1", "0", "1"}, {}},  // no range told: any value
    };
    const std::string help = helpText(Command::Format);
    for (const OptionEntry& entry : optionTable()) {
        if (entry.kind != OptionEntry::Kind::Number) continue;
        const std::string option = "--" + std::string(entry.name);
        const std::string note = valueNote(entry);
        EXPECT_NE(help.find("(" + note + ")"), std::string::npos) << option << ": " << note;
        const auto claim = std::ranges::find_if(claims, [&](const Claim& c) { return note.starts_with(c.said); });
        ASSERT_NE(claim, std::end(claims)) << option << ": " << note;
        for (const bool taken : {true, false}) {
            for (const std::string& value : taken ? claim->taken : claim->refused) {
                EXPECT_EQ(parsed({"format", option, value}).action == CommandLine::Action::Run, taken)
                    << option << " " << value;
            }
        }
    }
}

// The number of jobs the help names as the most is the most the parser takes.
TEST(OptionListing, JobsHelpSaysWhatTheParserTakes) {
    std::string_view help;
    for (const BatchOptionRow& row : batchOptionRows()) {
        if (row.name == "jobs") help = row.help;
    }
    const std::size_t range = help.find(", 1 to ");
    ASSERT_NE(range, help.npos) << help;
    const std::string most(help.substr(range + 7, help.find(' ', range + 7) - range - 7));
    const struct {
        std::string value;
        bool taken;
    } cases[] = {{"1", true}, {most, true}, {"0", false}, {std::to_string(std::stoi(most) + 1), false}};
    for (const auto& c : cases) {
        const CommandLine line = parsed({"convert", "--in-place", "--jobs", c.value, "a"});
        EXPECT_EQ(line.action == CommandLine::Action::Run, c.taken) << c.value << ": " << line.error;
    }
}

}  // namespace
}  // namespace quillon::cli
