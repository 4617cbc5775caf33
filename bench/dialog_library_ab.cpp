// Whether the dialog's runs through libquillon give what runs straight
// through the edge give for the same choices: for each file, both run kinds
// and a set of the dialog's choices, the output's bytes, how the run ended,
// the texts it read and wrote and the end mark, which are all the status
// line, the messages and the pane are made of.
//
//   QT_QPA_PLATFORM=offscreen quillon_dialog_library_ab FILE...
//
// Prints each run that differs and the counts; exits 1 when any differs.
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <string>

#include "dialog_choices_meant.h"
#include "edge_run.h"
#include "library_run.h"
#include "main_dialog.h"
#include "run_choices.h"
#include "run_result.h"
#include "text_formatter.h"

namespace {

using namespace quillon;

struct Choice {
    const char* name;
    void (*set)(RunChoices&);
    const char* headingPattern = "";
};

// Positions as the dialog's boxes and groups list them.
const Choice kChoices[] = {
    {"first-start", [](RunChoices&) {}},
    {"auto-to-same", [](RunChoices& c) { c.outputEncoding = 0; }},
    {"auto-to-different", [](RunChoices& c) { c.outputEncoding = 4; }},
    {"gb-to-big5", [](RunChoices& c) { c.sourceEncoding = 1, c.outputEncoding = 3; }},
    {"gbk-to-gb", [](RunChoices& c) { c.sourceEncoding = 2, c.outputEncoding = 1; }},
    {"big5-to-gbk", [](RunChoices& c) { c.sourceEncoding = 3, c.outputEncoding = 2; }},
    {"phrases-off-to-same", [](RunChoices& c) { c.phraseChoice = 0, c.outputEncoding = 0; }},
    {"traditional-utf8", [](RunChoices& c) { c.outputEncoding = 6; }},
    {"hongkong-regional-corner", [](RunChoices& c) { c.standard = 3, c.regionalWords = 1, c.quoteStyle = 1; }},
    {"html", [](RunChoices& c) { c.htmlAware = 1, c.outputEncoding = 4; }},
    {"layout", [](RunChoices& c) {
         c.charsPerLine = 20, c.lineSpacing = 0, c.leadingSpaces = 4, c.leftMargin = 2;
         c.paragraphMode = 2, c.headingAlignment = 2;
     }},
    {"switches-flipped-to-same",
     [](RunChoices& c) {
         c.outputEncoding = 0, c.fullWidthSpaces = 0, c.autoFix = 0, c.naturalSyntax = 1;
         c.mixedTextChoice = 1, c.spaceBetweenScripts = 1, c.chapterChoice = 1, c.lineStartChoice = 0;
     },
     "^第"},
};

struct Seen {
    QByteArray bytes;
    RunEnd end;
    std::string source;  // the encoding and the script, as the dialog reads them
    std::string output;
    qint64 endMark;
    QString refusal;
    bool operator==(const Seen&) const = default;
};

// None after a failure, whose texts the dialog does not read.
std::string shown(const RunEnd& end, const RunText& text) {
    if (end.error || !text.encoding) return {};
    return std::string(text.encoding) + (text.script == Script::Traditional ? " traditional" : "");
}

Seen seen(const RunEnd& end, const EngineProcess::Report& report, const QString& destination) {
    QFile output(destination);
    QByteArray bytes;
    if (output.open(QIODevice::ReadOnly)) bytes = output.readAll();
    return {bytes, end, shown(end, report.source), shown(end, report.output), report.endMarkOffset, report.sourceError};
}

// The engine's result as the library tells it.
RunEnd endOf(RunResult result) {
    switch (result) {
        case kSuccess: return {};
        case kOutOfMemory: return {api::Error::Kind::OutOfMemory, std::nullopt};
        case kPlainAsciiSource: return {api::Error::Kind::PlainAscii, std::nullopt};
        case kSourceUnreadable: return {api::Error::Kind::SourceUnreadable, std::nullopt};
        case kDestinationUnwritable: return {api::Error::Kind::DestinationUnwritable, std::nullopt};
        case kSourceNotText: return {api::Error::Kind::SourceNotText, std::nullopt};
        case kInvalidCodeWarning: return {std::nullopt, api::Warning::Kind::InvalidCode};
        case kUnmappableWarning: return {std::nullopt, api::Warning::Kind::Unmappable};
        case kHtmlAbortedWarning: return {std::nullopt, api::Warning::Kind::HtmlAborted};
        default: return {api::Error::Kind::BadOption, std::nullopt};
    }
}

RunText textOf(const char* unicodeEncoding, const EncodingProfile* profile) {
    if (!profile) return unicodeEncoding ? runTextOf(unicodeEncoding, "") : RunText{};
    const char* form = profile->id == kBig5Id ? "traditional" : "simplified";
    return runTextOf(unicodeEncoding ? unicodeEncoding : profile->name, form);
}

// A run straight through the edge, told as the dialog's runs tell it.
RunEnd runStraightThroughEdge(RunKind kind, const unicode::EdgeRunOptions& options, const char* source,
                              const QString& destination, EngineProcess::Report& report) {
    TextFormatter formatter;
    unicode::EdgeOutput written;
    const RunResult result = unicode::runThroughEdge(
        formatter, kind == RunKind::Convert ? unicode::RunKind::Convert : unicode::RunKind::Format, options, source,
        QFile::encodeName(destination).constData(), &written);
    report.source = textOf(written.unicodeSource, formatter.sourceProfile);
    report.output = textOf(written.unicodeEncoding, formatter.targetProfile);
    report.endMarkOffset = formatter.endMarkOffset;
    return endOf(result);
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QTemporaryDir folder;
    // The choices of the dialog's first start, as its controls give them.
    qputenv("QUILLON_SETTINGS", QFile::encodeName(folder.filePath(QStringLiteral("quillon.ini"))));
    const RunChoices firstStart = MainDialog().shownSettings().run;
    int same = 0;
    int differ = 0;
    for (int i = 1; i < argc; ++i) {
        const QString source = QFile::decodeName(argv[i]);
        for (const RunKind kind : {RunKind::Convert, RunKind::Format}) {
            for (const Choice& choice : kChoices) {
                RunChoices choices = firstStart;
                choice.set(choices);
                const QString edgeOut = folder.filePath(QStringLiteral("edge"));
                const QString libraryOut = folder.filePath(QStringLiteral("library"));
                QFile::remove(edgeOut);
                QFile::remove(libraryOut);
                EngineProcess::Report edgeReport;
                const RunEnd edgeEnd = runStraightThroughEdge(
                    kind, testing::meantByDialog(choices, choice.headingPattern), argv[i], edgeOut, edgeReport);
                const Seen before = seen(edgeEnd, edgeReport, edgeOut);
                EngineProcess::Report libraryReport;
                const api::Options options =
                    optionsFor(kind, libraryOptions(choices, QString::fromUtf8(choice.headingPattern)));
                const RunEnd libraryEnd = runThroughLibrary(kind, options, source, libraryOut, libraryReport);
                const Seen after = seen(libraryEnd, libraryReport, libraryOut);
                if (before == after) {
                    ++same;
                    continue;
                }
                ++differ;
                std::printf("differs: %s %s %s (%s / %s, %lld/%lld bytes)\n", argv[i],
                            kind == RunKind::Convert ? "convert" : "format", choice.name, before.output.c_str(),
                            after.output.c_str(), static_cast<long long>(before.bytes.size()),
                            static_cast<long long>(after.bytes.size()));
            }
        }
    }
    std::printf("%d runs alike, %d differ\n", same, differ);
    return differ == 0 ? 0 : 1;
}
