#include "run_refusals.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QObject>

#include <vector>

#include "control_ids.h"
#include "dialog_controls.h"
#include "engine_text.h"
#include "heading_regex.h"
#include "option_policy.h"

namespace quillon {

namespace {

struct NumberField {
    int id;
    std::int32_t RunOptions::*option;
    const char* message;  // one per field, whatever is wrong with its text
};

constexpr NumberField kNumberFields[] = {
    {control_id::kCharsPerLine, &RunOptions::charsPerLine,
     QT_TRANSLATE_NOOP("QObject", "Chars Per Line must be a number other than 0")},
    {control_id::kLineSpacing, &RunOptions::lineSpacing,
     QT_TRANSLATE_NOOP("QObject", "Line Spacing must be a number, 0 or more")},
    {control_id::kLeadSpaces, &RunOptions::leadingSpaces,
     QT_TRANSLATE_NOOP("QObject", "Lead Spaces must be a number, 0 or more")},
    {control_id::kLeftMargin, &RunOptions::leftMargin,
     QT_TRANSLATE_NOOP("QObject", "Left Margin must be a number, 0 or more")},
};

}  // namespace

std::optional<NumberFieldRefusal> numberFieldRefusal(const QWidget& dialog) {
    for (const NumberField& field : kNumberFields) {
        const std::optional<qint32> value = dialogItemNumber(dialog, field.id);
        // The engine's policy decides, as on the command line; the dialog words it
        // for its own field.
        if (!value || !refusalOf(field.option, *value).empty()) {
            return NumberFieldRefusal{field.id, QCoreApplication::translate("QObject", field.message)};
        }
    }
    return std::nullopt;
}

std::optional<QString> sourceFileRefusal(const QString& path) {
    const QFileInfo source(path);  // follows symbolic links
    if (!source.exists() || source.isFile()) return std::nullopt;
    return QObject::tr("The source %1 is not a regular file.").arg(QDir::toNativeSeparators(path));
}

std::optional<QString> headingPatternRefusal(const std::string& pattern) {
    const std::string problem = unicode::headingPatternProblem(pattern, translatedEngineText);
    if (problem.empty()) return std::nullopt;
    return QString::fromStdString(problem);
}

std::optional<QString> wordListRefusal(const QStringList& paths, std::optional<unicode::UserWords>& words) {
    words.reset();
    if (paths.isEmpty()) return std::nullopt;
    std::vector<std::string> names;
    for (const QString& path : paths) names.push_back(QFile::encodeName(path).toStdString());
    std::string error;
    words = unicode::UserWords::read(names, error);
    if (words) return std::nullopt;
    return QString::fromLocal8Bit(error);
}

}  // namespace quillon
