#include "man_pages.h"

#include "help_text.h"
#include "option_table.h"

namespace quillon::packaging {
namespace {

using cli::Command;

// Option names are minus signs, not hyphens: the page must let them be
// copied and searched for as typed.
std::string minusSigns(std::string_view text) {
    std::string escaped;
    for (char c : text) {
        if (c == '-') escaped += '\\';
        escaped += c;
    }
    return escaped;
}

// Plain text as roff: a backslash printed as such, no line read as a
// request, and paragraphs parted by a blank line become .PP.
std::string roffText(std::string_view text) {
    std::string roff;
    bool lineStart = true;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (lineStart && c == '\n') {
            if (!roff.empty() && !roff.ends_with(".PP\n")) roff += ".PP\n";
            continue;
        }
        if (lineStart && (c == '.' || c == '\'')) roff += "\\&";
        roff += c == '\\' ? "\\e" : std::string(1, c);
        lineStart = c == '\n';
    }
    if (!roff.empty() && !roff.ends_with('\n')) roff += '\n';
    return roff;
}

std::string titleLines(std::string_view name, std::string_view version) {
    std::string title(name);
    for (char& c : title) c = c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
    return ".TH " + minusSigns(title) + " 1 \"\" \"Quillon " + std::string(version) +
           "\" \"User Commands\"\n";
}

// A tag may break after the bar between two values, where a long list of
// them would not fit the line.
std::string tagText(std::string_view tag) {
    std::string roff;
    for (char c : minusSigns(tag)) roff += c == '|' ? "|\\:" : std::string(1, c);
    return roff;
}

std::string taggedParagraph(std::string_view tag, std::string_view text) {
    return ".TP\n.B " + tagText(tag) + "\n" + roffText(text);
}

// The jobs users come for most, each as one command line that runs as it
// stands on files of those names.
struct Example {
    std::string_view job;
    std::string_view command;
};
constexpr Example kExamples[] = {
    {"Convert a GB2312 file to Big5, simplified characters becoming traditional ones:",
     "quillon-cli convert --from gb --to big5 novel-gb.txt novel-big5.txt"},
    {"Convert a UTF-8 file to Taiwan's traditional characters and words (\\[u5185]\\[u5B58] becomes "
     "\\[u8A18]\\[u61B6]\\[u9AD4]):",
     "quillon-cli convert --form traditional --standard taiwan --regional-words notes.txt notes-tw.txt"},
    {"Reflow a text into lines of 30 characters:",
     "quillon-cli format --chars-per-line 30 notes.txt notes-formatted.txt"},
    {"Convert every file under a folder in place, keeping each original as its name and ~:",
     "quillon-cli convert --from gb --to big5 --recursive --in-place --backup novels"},
    {"Read standard input and write standard output, as in a pipe:",
     "cat novel-gb.txt | quillon-cli convert --to big5 - - > novel-big5.txt"},
};

std::string examplesSection() {
    std::string section = ".SH EXAMPLES\n";
    for (const Example& example : kExamples) {
        section += ".PP\n" + std::string(example.job) + "\n.RS 4\n.nf\n" + minusSigns(example.command) +
                   "\n.fi\n.RE\n";
    }
    return section;
}

std::string optionItem(const cli::OptionEntry& entry) {
    std::string text(entry.help);
    if (const std::string note = cli::valueNote(entry); !note.empty()) text += " (" + note + ")";
    if (!cli::appliesTo(entry, Command::Convert)) text += "; format only";
    return taggedParagraph(cli::optionForms(entry), text + ".");
}

}  // namespace

std::string cliManPage(std::string_view version) {
    std::string page = titleLines("quillon-cli", version);
    page += ".SH NAME\n"
            "quillon-cli \\- convert and reflow Chinese plain text in GB2312, GBK, Big5 and Unicode\n"
            ".SH SYNOPSIS\n";
    for (Command command : cli::kCommands) {
        page += ".B quillon-cli " + std::string(cli::commandName(command)) +
                (command == Command::Detect ? "\n\\fIFILE\\fR...\n.br\n"
                                            : "\n[\\fIoptions\\fR] [\\fISOURCE\\fR [\\fIDESTINATION\\fR]]\n.br\n");
    }
    page += ".B quillon-cli\n" + minusSigns(cli::programOptionWords(" | ")) + "\n";
    page += ".SH DESCRIPTION\n";
    for (Command command : cli::kCommands) {
        page += ".SS " + std::string(cli::commandName(command)) + "\n";
        page += roffText(cli::commandSummary(command));
    }
    page += ".SH OPTIONS\n";
    for (const cli::OptionEntry& entry : cli::optionTable()) page += optionItem(entry);
    for (const cli::BatchOptionRow& row : cli::kRunOptionRows) {
        page += taggedParagraph(cli::batchOptionForms(row), std::string(row.help) + ".");
    }
    for (const cli::BatchOptionRow& row : cli::batchOptionRows()) {
        page += taggedParagraph(cli::batchOptionForms(row), std::string(row.help) + ".");
    }
    for (const cli::ProgramOption& option : {cli::kHelpOption, cli::kVersionOption, cli::kListEncodingsOption}) {
        page += taggedParagraph(option.forms, std::string(option.help) + ".");
    }
    page += ".PP\n" + roffText(cli::kEqualsNote);
    page += ".SH NOTES\n" + roffText(cli::commonNotes());
    page += examplesSection();
    page += ".SH ENVIRONMENT\n" +
            taggedParagraph("TMPDIR",
                            "The folder where a run keeps text it must read twice or hold back, in files "
                            "without a name (default /tmp).") +
            taggedParagraph("LANG, LC_ALL",
                            "Not read: the locale chooses neither the encoding of a text, which --from names or "
                            "detection finds, nor the language of messages, which is English.");
    page += ".SH SEE ALSO\n.BR quillon (1)\n";
    return page;
}

std::string dialogManPage(std::string_view version, std::string_view helpPage) {
    std::string page = titleLines("quillon", version);
    page += ".SH NAME\n"
            "quillon \\- dialog that converts and reflows Chinese plain text in GB2312, GBK and Big5\n"
            ".SH SYNOPSIS\n"
            ".B quillon\n"
            ".SH DESCRIPTION\n" +
            roffText("Quillon re-encodes text between GB2312 (GB), GBK and Big5, changing\n"
                     "simplified characters to traditional ones on the way to Big5 and back on\n"
                     "the way to GB, and reflows it into paragraphs of a fixed width.\n"
                     "\n"
                     "Choose the source (the clipboard or a file) and its encoding, the\n"
                     "destination and its encoding, the layout, then Convert or Format. The\n"
                     "result shows in the pane below. The Help button opens a page that\n"
                     "explains every control.\n") +
            ".SH ENVIRONMENT\n" +
            taggedParagraph("QUILLON_SETTINGS", "A settings file to use instead of the user's.") +
            taggedParagraph("LANGUAGE, LC_ALL, LC_MESSAGES, LANG",
                            "The locale whose language the interface speaks: simplified Chinese for zh_CN, "
                            "traditional Chinese for zh_TW, English for a locale without a translation.") +
            taggedParagraph("TMPDIR",
                            "The folder for the temporary files that hold the clipboard's text during a run "
                            "(default /tmp).") +
            ".SH FILES\n" +
            taggedParagraph("~/.config/Quillon/Quillon.ini", "The user's settings.") +
            taggedParagraph("/etc/xdg/Quillon/Quillon.ini", "Machine-wide defaults of the settings.") +
            taggedParagraph(helpPage, "The help page.") +
            ".SH SEE ALSO\n.BR quillon\\-cli (1)\n";
    return page;
}

}  // namespace quillon::packaging
