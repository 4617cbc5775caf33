// The dialog's choices reach a run through libquillon as the dialog made
// them: read back by the library's own reading of its options, every value
// the dialog keeps is the one it named. A convert run names no format
// option, which the library would refuse, and takes the command line's.
#include <QtTest>

#include "fresh_settings.h"
#include "library_options.h"
#include "main_dialog.h"
#include "options_check.h"

namespace quillon {
namespace {

using namespace unicode;

struct ChoiceCase {
    const char* name;
    void (*set)(EdgeRunOptions&);
};

const ChoiceCase kChoices[] = {
    {"first start", [](EdgeRunOptions&) {}},
    {"GB to Big5", [](EdgeRunOptions& o) { o.sourceEncoding = kSourceGb, o.outputEncoding = kOutputBig5, o.form = kFormAuto; }},
    {"GBK to different", [](EdgeRunOptions& o) { o.sourceEncoding = kSourceGbk, o.outputEncoding = kOutputDifferent; }},
    {"Big5 to same", [](EdgeRunOptions& o) { o.sourceEncoding = kSourceBig5, o.outputEncoding = kOutputSame; }},
    {"UTF-8 to GB", [](EdgeRunOptions& o) { o.sourceEncoding = kSourceUtf8, o.outputEncoding = kOutputGb; }},
    {"traditional UTF-8", [](EdgeRunOptions& o) { o.form = kFormTraditional; }},
    {"UTF-16 and GB18030",
     [](EdgeRunOptions& o) { o.sourceEncoding = kSourceUtf16Be, o.outputEncoding = kOutputGb18030; }},
    {"Hong Kong, regional words, no phrases",
     [](EdgeRunOptions& o) { o.standard = kStandardHongKong, o.regionalWords = 1, o.phraseChoice = kChoiceOff; }},
    {"HTML, corner quotes", [](EdgeRunOptions& o) { o.htmlAware = 1, o.quoteStyle = kQuotesCorner; }},
    {"curly quotes, generic", [](EdgeRunOptions& o) { o.quoteStyle = kQuotesCurly, o.standard = kStandardGeneric; }},
    {"no wrapping, wide spacing",
     [](EdgeRunOptions& o) { o.charsPerLine = -1, o.lineSpacing = 3, o.leadingSpaces = 0, o.leftMargin = 4; }},
    {"one-line paragraphs, left headings",
     [](EdgeRunOptions& o) { o.paragraphMode = kParagraphOneLine, o.headingAlignment = kAlignLeft; }},
    {"forced paragraphs, normal headings",
     [](EdgeRunOptions& o) { o.paragraphMode = kParagraphForce, o.headingAlignment = kAlignNormal; }},
    {"switches off",
     [](EdgeRunOptions& o) { o.fullWidthSpaces = 0, o.autoFix = 0, o.mixedTextChoice = kChoiceOff; }},
    {"switches on",
     [](EdgeRunOptions& o) {
         o.naturalSyntax = 1, o.spaceBetweenScripts = 1, o.chapterChoice = kChoiceOn, o.lineStartChoice = kChoiceOn;
     }},
    {"by the run", [](EdgeRunOptions& o) { o.chapterChoice = o.mixedTextChoice = o.lineStartChoice = kChoiceByRun; }},
    {"heading pattern", [](EdgeRunOptions& o) { o.headingPattern = "^第.+节$"; }},
};

// What the library reads of `options` in a run of `kind`. The dialog's
// Quiet Mode is its own to keep: no run is told of it.
EdgeRunOptions readBack(RunKind kind, const EdgeRunOptions& options) {
    const api::Task task = kind == RunKind::Convert ? api::Task::Convert : api::Task::Format;
    EdgeRunOptions read = api::prepareRun(task, libraryOptions(kind, options)).edge;
    read.quiet = options.quiet;
    return read;
}

// The run options a convert run takes: the dialog's convert options over
// the command line's defaults.
EdgeRunOptions convertOptions(const EdgeRunOptions& dialog) {
    EdgeRunOptions expected = api::prepareRun(api::Task::Convert, {}).edge;
    expected.sourceEncoding = dialog.sourceEncoding;
    expected.outputEncoding = dialog.outputEncoding;
    expected.htmlAware = dialog.htmlAware;
    expected.form = dialog.form;
    expected.lineEnds = dialog.lineEnds;
    expected.standard = dialog.standard;
    expected.regionalWords = dialog.regionalWords;
    expected.phraseChoice = dialog.phraseChoice;
    expected.quoteStyle = dialog.quoteStyle;
    expected.byteOrderMark = dialog.byteOrderMark;
    expected.quiet = dialog.quiet;
    return expected;
}

bool same(const EdgeRunOptions& a, const EdgeRunOptions& b) {
    return static_cast<const RunOptions&>(a) == static_cast<const RunOptions&>(b) &&
           static_cast<const EdgeChoices&>(a) == static_cast<const EdgeChoices&>(b);
}

}  // namespace

class LibraryOptionsTest : public QObject {
    Q_OBJECT

    // The run options of the dialog's first start, as its controls give them.
    static EdgeRunOptions firstStart() {
        const FreshSettings settings;
        const MainDialog dialog;
        return dialog.runOptions();
    }

private slots:
    void formatRunsTakeEveryChoice() {
        for (const ChoiceCase& choice : kChoices) {
            EdgeRunOptions options = firstStart();
            choice.set(options);
            QVERIFY2(same(readBack(RunKind::Format, options), options), choice.name);
        }
    }

    void convertRunsTakeTheirOwnChoices() {
        for (const ChoiceCase& choice : kChoices) {
            EdgeRunOptions options = firstStart();
            choice.set(options);
            QVERIFY2(same(readBack(RunKind::Convert, options), convertOptions(options)), choice.name);
        }
    }
};

}  // namespace quillon

QTEST_MAIN(quillon::LibraryOptionsTest)
#include "library_options_test.moc"
