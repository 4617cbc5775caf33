// Whether the dialog's runs through libquillon give what its runs straight
// through the edge gave: for each file, both run kinds and a set of the
// dialog's choices, the output's bytes, the result, the profiles, the
// Unicode encodings and the end mark, which are all the status line, the
// messages and the pane are made of.
//
//   QT_QPA_PLATFORM=offscreen quillon_dialog_library_ab FILE...
//
// Prints each run that differs and the counts; exits 1 when any differs.
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>

#include "edge_run.h"
#include "encoding_profile.h"
#include "library_options.h"
#include "library_run.h"
#include "main_dialog.h"
#include "text_formatter.h"

namespace {

using namespace quillon;
using namespace quillon::unicode;

struct Choice {
    const char* name;
    void (*set)(EdgeRunOptions&);
};

const Choice kChoices[] = {
    {"first-start", [](EdgeRunOptions&) {}},
    {"auto-to-same", [](EdgeRunOptions& o) { o.outputEncoding = kOutputSame, o.form = kFormAuto; }},
    {"auto-to-different", [](EdgeRunOptions& o) { o.outputEncoding = kOutputDifferent, o.form = kFormAuto; }},
    {"gb-to-big5", [](EdgeRunOptions& o) { o.sourceEncoding = kSourceGb, o.outputEncoding = kOutputBig5, o.form = kFormAuto; }},
    {"gbk-to-gb", [](EdgeRunOptions& o) { o.sourceEncoding = kSourceGbk, o.outputEncoding = kOutputGb, o.form = kFormAuto; }},
    {"big5-to-gbk", [](EdgeRunOptions& o) { o.sourceEncoding = kSourceBig5, o.outputEncoding = kOutputGbk, o.form = kFormAuto; }},
    {"phrases-off-to-same", [](EdgeRunOptions& o) { o.phraseChoice = kChoiceOff, o.outputEncoding = kOutputSame; }},
    {"traditional-utf8", [](EdgeRunOptions& o) { o.form = kFormTraditional; }},
    {"hongkong-regional-corner",
     [](EdgeRunOptions& o) { o.standard = kStandardHongKong, o.regionalWords = 1, o.quoteStyle = kQuotesCorner; }},
    {"html", [](EdgeRunOptions& o) { o.htmlAware = 1, o.outputEncoding = kOutputDifferent; }},
    {"layout", [](EdgeRunOptions& o) {
         o.charsPerLine = 20, o.lineSpacing = 0, o.leadingSpaces = 4, o.leftMargin = 2;
         o.paragraphMode = kParagraphEmptyLine, o.headingAlignment = kAlignRight;
     }},
    {"switches-flipped-to-same", [](EdgeRunOptions& o) {
         o.outputEncoding = kOutputSame, o.fullWidthSpaces = 0, o.autoFix = 0, o.naturalSyntax = 1;
         o.mixedTextChoice = kChoiceOn, o.spaceBetweenScripts = 1, o.chapterChoice = kChoiceOn;
         o.lineStartChoice = kChoiceOff, o.headingPattern = "^第";
     }},
};

struct Seen {
    QByteArray bytes;
    RunResult result;
    qint32 sourceProfile;
    qint32 targetProfile;
    QByteArray unicodeSource;
    QByteArray unicodeOutput;
    qint64 endMark;
    QString refusal;
    bool operator==(const Seen&) const = default;
};

// What the dialog reads of a run's profile (and its Unicode encodings):
// none after a failure, and of
// Unicode text only its form, which picks the pane's font and the status
// line's words.
qint32 shownProfile(RunResult result, qint32 profileId, const char* unicodeEncoding) {
    if (isError(result) || profileId == 0) return 0;
    if (unicodeEncoding) return profileId == kBig5Id ? kBig5Id : kGbkId;
    return profileId;
}

Seen seen(RunResult result, const EngineProcess::Report& report, const QString& destination) {
    QFile output(destination);
    QByteArray bytes;
    if (output.open(QIODevice::ReadOnly)) bytes = output.readAll();
    return {bytes,
            result,
            shownProfile(result, report.sourceProfileId, report.unicodeSource),
            shownProfile(result, report.targetProfileId, report.unicodeOutput),
            isError(result) ? nullptr : report.unicodeSource,
            isError(result) ? nullptr : report.unicodeOutput,
            report.endMarkOffset,
            report.sourceError};
}

// A run straight through the edge, told as the dialog's runs tell it.
RunResult runStraightThroughEdge(quillon::RunKind kind, const EdgeRunOptions& options, const char* source,
                         const QString& destination, EngineProcess::Report& report) {
    TextFormatter formatter;
    EdgeOutput written;
    const RunResult result = unicode::runThroughEdge(
        formatter, kind == quillon::RunKind::Convert ? unicode::RunKind::Convert : unicode::RunKind::Format, options,
        source, QFile::encodeName(destination).constData(), &written);
    report.sourceProfileId = formatter.sourceProfile ? formatter.sourceProfile->id : 0;
    report.targetProfileId = formatter.targetProfileId();
    report.unicodeSource = written.unicodeSource;
    report.unicodeOutput = written.unicodeEncoding;
    report.endMarkOffset = formatter.endMarkOffset;
    return result;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QTemporaryDir folder;
    // The run options of the dialog's first start, as its controls give them.
    qputenv("QUILLON_SETTINGS", QFile::encodeName(folder.filePath(QStringLiteral("quillon.ini"))));
    const quillon::unicode::EdgeRunOptions firstStart = quillon::MainDialog().runOptions();
    int same = 0;
    int differ = 0;
    for (int i = 1; i < argc; ++i) {
        const QString source = QFile::decodeName(argv[i]);
        for (const quillon::RunKind kind : {quillon::RunKind::Convert, quillon::RunKind::Format}) {
            for (const Choice& choice : kChoices) {
                quillon::unicode::EdgeRunOptions options = firstStart;
                choice.set(options);
                const QString edgeOut = folder.filePath(QStringLiteral("edge"));
                const QString libraryOut = folder.filePath(QStringLiteral("library"));
                QFile::remove(edgeOut);
                QFile::remove(libraryOut);
                EngineProcess::Report edgeReport;
                const RunResult edgeResult = runStraightThroughEdge(kind, options, argv[i], edgeOut, edgeReport);
                const Seen before = seen(edgeResult, edgeReport, edgeOut);
                EngineProcess::Report libraryReport;
                const RunResult libraryResult =
                    runThroughLibrary(kind, libraryOptions(kind, options), source, libraryOut, libraryReport);
                const Seen after = seen(libraryResult, libraryReport, libraryOut);
                if (before == after) {
                    ++same;
                    continue;
                }
                ++differ;
                std::printf("differs: %s %s %s (result %d/%d, %lld/%lld bytes)\n", argv[i],
                            kind == quillon::RunKind::Convert ? "convert" : "format", choice.name, int(before.result),
                            int(after.result), static_cast<long long>(before.bytes.size()),
                            static_cast<long long>(after.bytes.size()));
            }
        }
    }
    std::printf("%d runs alike, %d differ\n", same, differ);
    return differ == 0 ? 0 : 1;
}
