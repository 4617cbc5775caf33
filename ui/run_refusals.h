#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <optional>
#include <string>

class QWidget;

namespace quillon {

// What a run refuses before it starts, each with the text of its "Error" box.

// A number field whose text a run cannot use, with the message for it.
struct NumberFieldRefusal {
    int field;
    QString text;
};

// The first number field of `dialog` whose text is no number, or a number
// its option does not take: Chars Per Line 0 would lay every character out
// on a line of its own and lose the text (a negative one means no wrapping),
// and spacing, indent and margin are counts, 0 or more.
std::optional<NumberFieldRefusal> numberFieldRefusal(const QWidget& dialog);

// A source that is not a regular file: a pipe or a device may never end, and
// a detecting run would read a pipe twice. A path that does not exist is left
// to the engine, which says it cannot open it.
std::optional<QString> sourceFileRefusal(const QString& path);

// A heading pattern that is no regular expression, with ICU's reason.
std::optional<QString> headingPatternRefusal(const std::string& pattern);

// Reads the user's own word lists whole, before anything is written; a file
// that cannot be read or a line that is no entry refuses the run, named with
// its line as the command line names it. No files: nothing to refuse.
std::optional<QString> wordListRefusal(const QStringList& paths);

}  // namespace quillon
