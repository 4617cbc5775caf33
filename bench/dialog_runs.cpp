// The dialog's runs as a user makes them, one line each: for each file, both
// commands and a set of stored choices, the output (size and digest), the
// status line without its time, the boxes shown, and the pane's text and
// font. Built from two versions of the dialog, the lines compare with diff.
//
//   QT_QPA_PLATFORM=offscreen quillon_dialog_runs FILE... > runs.txt
//
// Only the settings file, the controls and the commands are used, which
// every version of the dialog has.
#include <QApplication>
#include <QClipboard>
#include <QCryptographicHash>
#include <QFile>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>

#include "control_ids.h"
#include "dialog_controls.h"
#include "main_dialog.h"
#include "status_line.h"

namespace {

using namespace quillon;

// Stored settings, by their keys, over the first start's.
struct Choice {
    const char* name;
    std::initializer_list<std::pair<const char*, QVariant>> stored;
};

const Choice kChoices[] = {
    {"first-start", {}},
    {"auto-to-different", {{"OutputEncoding", 4}}},
    {"gb-to-big5", {{"encoding", 1}, {"OutputEncoding", 3}}},
    {"gbk-to-gb", {{"encoding", 2}, {"OutputEncoding", 1}}},
    {"big5-to-gbk", {{"encoding", 3}, {"OutputEncoding", 2}}},
    {"utf8-source-to-big5", {{"encoding", 4}, {"OutputEncoding", 3}}},
    {"phrases-off-to-same", {{"Phrases", 0}, {"OutputEncoding", 0}}},
    {"simplified-utf8", {{"OutputEncoding", 5}}},
    {"traditional-utf8", {{"OutputEncoding", 6}}},
    {"hongkong-regional-corner", {{"Standard", 3}, {"RegionalWords", 1}, {"QuoteStyle", 1}}},
    {"taiwan-curly-generic", {{"Standard", 1}, {"QuoteStyle", 2}}},
    {"html-quiet", {{"HTML", 1}, {"OutputEncoding", 4}, {"Quiet", 1}}},
    {"layout",
     {{"LineChars", 20}, {"LineSpacing", 0}, {"LeadingSpaces", 4}, {"LeftMargin", 2}, {"paragraph", 2},
      {"HeadingAlignment", 2}}},
    {"no-wrap-forced", {{"LineChars", -1}, {"paragraph", 4}, {"HeadingAlignment", 3}}},
    {"switches-flipped",
     {{"TransEnglishPunc", 0}, {"AutoFix", 0}, {"NaturalSyntax", 1}, {"MixedText", 1}, {"SpaceBetweenScripts", 1},
      {"ChapterHeadings", 1}, {"LineStartRules", 0}, {"HeadingPattern", QStringLiteral("^第")}}},
    {"out-of-range", {{"paragraph", 9}, {"HeadingAlignment", -1}, {"encoding", 7}, {"OutputEncoding", 9}}},
    {"to-clipboard", {{"DetFromFile", 0}}},
    {"big5-to-clipboard", {{"encoding", 3}, {"OutputEncoding", 3}, {"DetFromFile", 0}}},
};

QByteArray digest(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex().left(16);
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QTemporaryDir folder;
    const QString settings = folder.filePath(QStringLiteral("quillon.ini"));
    const QString destination = folder.filePath(QStringLiteral("out"));
    qputenv("QUILLON_SETTINGS", QFile::encodeName(settings));
    QStringList shown;
    DialogHooks hooks = DialogHooks::platform();
    hooks.showMessage = [&](QWidget*, const QString& caption, const QString& text, QMessageBox::Icon) {
        shown << caption + QStringLiteral(": ") + text;
    };
    for (int i = 1; i < argc; ++i) {
        for (const Choice& choice : kChoices) {
            for (const bool format : {false, true}) {
                QFile::remove(settings);
                QFile::remove(destination);
                {
                    QSettings stored(settings, QSettings::IniFormat);
                    for (const auto& [key, value] : choice.stored) stored.setValue(QLatin1String(key), value);
                }
                QGuiApplication::clipboard()->setText(QStringLiteral("before"));
                shown.clear();
                MainDialog dialog(hooks);
                setDialogItemText(dialog, control_id::kSourcePath, QFile::decodeName(argv[i]));
                setDialogItemText(dialog, control_id::kDestinationPath, destination);
                format ? dialog.onFormat() : dialog.onConvert();
                QFile output(destination);
                const QByteArray bytes = output.open(QIODevice::ReadOnly) ? output.readAll() : QByteArray();
                const QString status =
                    statusText(dialog).replace(QRegularExpression(QStringLiteral(" in [0-9.]+ s")), QString());
                const auto* pane = qobject_cast<QPlainTextEdit*>(dialog.control(control_id::kOutputPane));
                std::printf("%s %s %s: %lld %s | %s | %s | pane %s %s | clipboard %s\n", argv[i],
                            format ? "format" : "convert", choice.name, static_cast<long long>(bytes.size()),
                            digest(bytes).constData(), qPrintable(status), qPrintable(shown.join(QStringLiteral(" / "))),
                            digest(pane->toPlainText().toUtf8()).constData(), qPrintable(pane->font().family()),
                            digest(QGuiApplication::clipboard()->text().toUtf8()).constData());
            }
        }
    }
    return 0;
}
