#include "run_refusals.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QObject>

#include <quillon/quillon.h>

#include "control_ids.h"
#include "dialog_controls.h"
#include "engine_text.h"

namespace quillon {

namespace {

struct NumberField {
    int id;
    std::optional<std::int32_t> api::Options::*option;
    const char* message;  // one per field, whatever is wrong with its text
};

constexpr NumberField kNumberFields[] = {
    {control_id::kCharsPerLine, &api::Options::charsPerLine,
     QT_TRANSLATE_NOOP("QObject", "Chars Per Line must be a number other than 0")},
    {control_id::kLineSpacing, &api::Options::lineSpacing,
     QT_TRANSLATE_NOOP("QObject", "Line Spacing must be a number, 0 or more")},
    {control_id::kLeadSpaces, &api::Options::leadSpaces,
     QT_TRANSLATE_NOOP("QObject", "Lead Spaces must be a number, 0 or more")},
    {control_id::kLeftMargin, &api::Options::leftMargin,
     QT_TRANSLATE_NOOP("QObject", "Left Margin must be a number, 0 or more")},
};

}  // namespace

std::optional<NumberFieldRefusal> numberFieldRefusal(const QWidget& dialog) {
    for (const NumberField& field : kNumberFields) {
        const std::optional<qint32> value = dialogItemNumber(dialog, field.id);
        // The library decides, as on the command line; the dialog words it
        // for its own field.
        api::Options options;
        if (value) options.*field.option = *value;
        if (!value || api::refusedOption(api::Task::Format, options)) {
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
    api::Options options;
    options.headingPattern = pattern;
    const auto refusal = api::refusedOption(api::Task::Format, options, translatedEngineText);
    if (!refusal) return std::nullopt;
    return QString::fromStdString(refusal->message);
}

std::optional<QString> wordListRefusal(const QStringList& paths) {
    api::Options options;
    for (const QString& path : paths) options.dictionaries.push_back(QFile::encodeName(path).toStdString());
    const auto refusal = api::refusedOption(api::Task::Convert, options);
    if (!refusal) return std::nullopt;
    return QString::fromLocal8Bit(refusal->message);
}

}  // namespace quillon
