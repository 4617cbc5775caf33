#include "help_text.h"

#include <algorithm>
#include <string_view>

#include <unicode/uversion.h>

#include "batch_options.h"
#include "code_tables.h"
#include "opencc_tables.h"
#include "option_table.h"
#include "short_options.h"

namespace quillon::cli {
namespace {

// The overall help, around the line of the program's own options.
constexpr std::string_view kOverviewHead =
    "Usage: quillon-cli convert [options] [SOURCE [DESTINATION]]\n"
    "       quillon-cli format [options] [SOURCE [DESTINATION]]\n"
    "       quillon-cli convert|format [options] SOURCE... --output-dir DIR | --in-place\n"
    "       quillon-cli detect FILE...\n"
    "       quillon-cli ";

constexpr std::string_view kOverviewBody =
    "\n"
    "\n"
    "Converts and reflows Chinese plain text in GB2312 (GB), GBK and Big5, and in\n"
    "UTF-8, UTF-16 and GB18030.\n"
    "\n"
    "Commands:\n"
    "  convert   re-encode text line by line, simplified to traditional on the way\n"
    "            to Big5 and back on the way to GB; the layout stays as it was,\n"
    "            but a line longer than 31,999 bytes is split\n"
    "  format    join lines into paragraphs, centre headings, wrap at a fixed width\n"
    "            with indent and margin, and convert the encoding on the way out\n"
    "  detect    name the encoding, written form and line ends of files\n"
    "\n"
    "Run 'quillon-cli COMMAND --help' for the options of a command.\n";

constexpr std::string_view kConvertSummary =
    "Re-encodes SOURCE into DESTINATION line by line between GB/GBK and Big5,\n"
    "changing simplified characters to traditional ones on the way to Big5 and back\n"
    "on the way to GB. The layout stays as it was, except that a line longer than\n"
    "31,999 bytes is split into lines of at most that many.\n";

constexpr std::string_view kFormatSummary =
    "Joins the lines of SOURCE into paragraphs, drops blank and separator lines,\n"
    "aligns short headings, wraps lines at a fixed width with indent and margin,\n"
    "makes ASCII punctuation full-width and writes DESTINATION, converting the\n"
    "encoding on the way out. A source without any Chinese character is not\n"
    "formatted and DESTINATION is left alone.\n";

constexpr std::string_view kDetectSummary =
    "Prints one line per FILE: PATH, ENCODING, FORM and LINE-ENDS, separated by tabs.\n"
    "ENCODING is one of GB, GBK, BIG5, PureASC, UTF-8, UTF-16LE, UTF-16BE, GB18030;\n"
    "FORM is simplified, traditional or none; LINE-ENDS is LF, CRLF, mixed or none.\n"
    "Each line comes as soon as its FILE is read. FILE - is standard input; any\n"
    "other FILE must be a regular file. Control characters and backslashes in a\n"
    "PATH are escaped as in C (\\t, \\n, \\033, \\\\).\n"
    "\n"
    "Exit status: 0 done; 2 when a FILE cannot be read or is not a regular file\n"
    "(the others are still described) or on bad usage.\n";

constexpr std::string_view kCommonNotes =
    "\n"
    "SOURCE or DESTINATION may be - for standard input or standard output; a\n"
    "SOURCE not named is standard input, a DESTINATION not named standard output.\n"
    "A destination file is replaced only when its run is complete, by a new file\n"
    "made in its folder, which must be writable: a failed or interrupted run\n"
    "leaves it as it was. With several sources, --output-dir or\n"
    "--in-place is needed; files that fail are named, the others still run, and a\n"
    "summary line follows. format refuses a source without any Chinese character\n"
    "(plain ASCII), alone or among several. Text ends at a byte 1A; bytes after it\n"
    "give a warning.\n"
    "A file with a NUL byte in its first 8000 bytes is refused as not text, unless\n"
    "it is UTF-16.\n"
    "A Unicode source reaches the engine as Big5 when its text is traditional and\n"
    "as GBK otherwise; characters that neither can hold (emoji, rare hanzi, accented\n"
    "letters) come through to Unicode output unchanged. Characters that are invalid\n"
    "or have no counterpart in the output become a box and give a warning.\n"
    "\n"
    "Exit status: 0 done; 1 done with a warning, the output is complete;\n"
    "2 error or bad usage.\n";

// "  --option VALUE   help text (note)", the help wrapped at 79 columns
// in a column of its own.
std::string optionLine(std::string_view left, std::string_view help, const std::string& note) {
    constexpr std::size_t kHelpColumn = 30;
    constexpr std::size_t kWidth = 79;
    // The note stays in one piece: its spaces are placeholders while wrapping.
    constexpr char kUnbreakableSpace = '\x1F';
    std::string text(help);
    if (!note.empty()) {
        std::string unbroken = note;
        std::ranges::replace(unbroken, ' ', kUnbreakableSpace);
        ((text += " (") += unbroken) += ')';
    }

    std::string lines = "  ";
    lines += left;
    std::size_t column = lines.size();
    if (column >= kHelpColumn) {
        lines += "\n";
        column = 0;
    }
    std::string_view rest = text;
    while (!rest.empty()) {
        std::size_t take = rest.size();
        if (take > kWidth - kHelpColumn) {
            const std::size_t space = rest.rfind(' ', kWidth - kHelpColumn);
            if (space != rest.npos) take = space;
        }
        std::string piece(rest.substr(0, take));
        std::ranges::replace(piece, kUnbreakableSpace, ' ');
        lines += std::string(kHelpColumn - column, ' ') + piece + "\n";
        column = 0;
        rest.remove_prefix(std::min(take + 1, rest.size()));
    }
    return lines;
}

std::string commandHelp(Command command) {
    if (command == Command::Detect) {
        return "Usage: quillon-cli detect FILE...\n\n" + std::string(kDetectSummary);
    }
    const std::string name(commandName(command));
    std::string text = "Usage: quillon-cli " + name + " [options] [SOURCE [DESTINATION]]\n" +
                       "       quillon-cli " + name + " [options] SOURCE... --output-dir DIR | --in-place\n\n";
    text += commandSummary(command);
    text += "\nOptions:\n";
    for (const OptionEntry& entry : optionTable()) {
        if (!appliesTo(entry, command)) continue;
        text += optionLine(optionForms(entry), entry.help, valueNote(entry));
    }
    for (const BatchOptionRow& row : kRunOptionRows) text += optionLine(batchOptionForms(row), row.help, {});
    for (const BatchOptionRow& row : batchOptionRows()) {
        text += optionLine(batchOptionForms(row), row.help, {});
    }
    text += optionLine(kHelpOption.forms, kHelpOption.help, {});
    ((text += '\n') += kEqualsNote) += '\n';
    return text + std::string(kCommonNotes);
}

}  // namespace

std::string_view commandSummary(Command command) {
    switch (command) {
        case Command::Convert: return kConvertSummary;
        case Command::Format: return kFormatSummary;
        case Command::Detect: return kDetectSummary;
    }
    return {};
}

std::string_view commonNotes() { return kCommonNotes; }

std::string optionForms(const OptionEntry& entry) {
    std::string forms(shortFormOf(entry.name));
    forms += "--";
    forms += entry.name;
    switch (entry.kind) {
        case OptionEntry::Kind::Switch: forms.append(", --no-").append(entry.name); break;
        case OptionEntry::Kind::Flag: break;
        case OptionEntry::Kind::Number: forms += " N"; break;
        case OptionEntry::Kind::Keyword: forms.append(" ").append(choiceNames(entry, "|")); break;
        case OptionEntry::Kind::Pattern: forms += " REGEX"; break;
    }
    return forms;
}

std::string batchOptionForms(const BatchOptionRow& row) {
    std::string forms = std::string(shortFormOf(row.name)) + "--" + std::string(row.name);
    if (row.value.empty()) return forms;
    return forms + (row.valueOptional ? "[=" : " ") + std::string(row.value) +
           (row.valueOptional ? "]" : "");
}

std::string defaultText(const OptionEntry& entry) {
    if (entry.kind == OptionEntry::Kind::Pattern) return {};
    const std::int32_t value = unicode::EdgeRunOptions{}.*(entry.field);
    switch (entry.kind) {
        // A switch that the run decides unless told says so in its help.
        case OptionEntry::Kind::Switch: return value == 1 ? "on" : value == 0 ? "off" : "";
        case OptionEntry::Kind::Flag: return {};
        case OptionEntry::Kind::Number: return std::to_string(value);
        case OptionEntry::Kind::Keyword:
            for (const Choice& choice : entry.choices) {
                if (choice.value == value) return std::string(choice.name);
            }
            break;
        case OptionEntry::Kind::Pattern: break;
    }
    return {};
}

std::string valueNote(const OptionEntry& entry) {
    std::string note(entry.kind == OptionEntry::Kind::Number ? allowedValuesOf(entry) : "");
    if (const std::string dflt = defaultText(entry); !dflt.empty()) {
        (note += note.empty() ? "default " : ", default ") += dflt;
    }
    return note;
}

std::string helpText(std::optional<Command> command) {
    if (command) return commandHelp(*command);
    return std::string(kOverviewHead) + programOptionWords(" | ") + std::string(kOverviewBody);
}

std::string formWords(const ProgramOption& option, std::string_view separator) {
    std::string words;
    std::string_view forms = option.forms;
    while (!forms.empty()) {
        const std::size_t comma = forms.find(", ");
        if (!words.empty()) words += separator;
        words += forms.substr(0, comma);
        forms.remove_prefix(comma == forms.npos ? forms.size() : comma + 2);
    }
    return words;
}

std::string programOptionWords(std::string_view separator) {
    return formWords(kHelpOption, separator) + std::string(separator) +
           formWords(kVersionOption, separator) + std::string(separator) +
           formWords(kListEncodingsOption, separator);
}

std::string versionText() {
    UVersionInfo icu;
    u_getVersion(icu);
    char icuText[U_MAX_VERSION_STRING_LENGTH];
    u_versionToString(icu, icuText);
    std::string text = "quillon-cli " QUILLON_VERSION "\ncode tables: ";
    ((text += kCodeTablesOrigin) += "\ndictionaries: ") += unicode::openccDataOrigin();
    (text += "\nICU ") += icuText;
    return text += '\n';
}

}  // namespace quillon::cli
