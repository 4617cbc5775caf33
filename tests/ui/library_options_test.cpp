// The dialog's choices reach a run through libquillon as the dialog made
// them: read back by the library's own reading of its options, every value
// the dialog keeps means what its control shows. A convert run names no
// format option, which the library would refuse, and takes the command
// line's.
#include <QtTest>

#include "dialog_choices_meant.h"
#include "edge_options.h"
#include "encoding_positions.h"
#include "fresh_settings.h"
#include "main_dialog.h"
#include "options_check.h"
#include "run_choices.h"

namespace quillon {
namespace {

using namespace unicode;
using testing::meantByDialog;

struct ChoiceCase {
    const char* name;
    void (*set)(RunChoices&);
    const char* headingPattern = "";
};

// Positions as the boxes and groups list them.
const ChoiceCase kChoices[] = {
    {"first start", [](RunChoices&) {}},
    {"GB to Big5", [](RunChoices& c) { c.sourceEncoding = 1, c.outputEncoding = 3; }},
    {"GBK to different", [](RunChoices& c) { c.sourceEncoding = 2, c.outputEncoding = 4; }},
    {"Big5 to same", [](RunChoices& c) { c.sourceEncoding = 3, c.outputEncoding = 0; }},
    {"UTF-8 to GB", [](RunChoices& c) { c.sourceEncoding = 4, c.outputEncoding = 1; }},
    {"simplified UTF-8", [](RunChoices& c) { c.outputEncoding = kOutputUtf8SimplifiedPosition; }},
    {"traditional UTF-8", [](RunChoices& c) { c.outputEncoding = kOutputUtf8TraditionalPosition; }},
    {"Hong Kong, regional words, no phrases",
     [](RunChoices& c) { c.standard = 3, c.regionalWords = 1, c.phraseChoice = 0; }},
    {"HTML, corner quotes", [](RunChoices& c) { c.htmlAware = 1, c.quoteStyle = 1; }},
    {"curly quotes, generic", [](RunChoices& c) { c.quoteStyle = 2, c.standard = 1; }},
    {"Taiwan", [](RunChoices& c) { c.standard = 2; }},
    {"no wrapping, wide spacing",
     [](RunChoices& c) { c.charsPerLine = -1, c.lineSpacing = 3, c.leadingSpaces = 0, c.leftMargin = 4; }},
    {"one-line paragraphs, left headings", [](RunChoices& c) { c.paragraphMode = 1, c.headingAlignment = 0; }},
    {"empty-line paragraphs, right headings", [](RunChoices& c) { c.paragraphMode = 2, c.headingAlignment = 2; }},
    {"leading-space paragraphs", [](RunChoices& c) { c.paragraphMode = 3; }},
    {"forced paragraphs, normal headings", [](RunChoices& c) { c.paragraphMode = 4, c.headingAlignment = 3; }},
    {"switches off", [](RunChoices& c) { c.fullWidthSpaces = 0, c.autoFix = 0, c.mixedTextChoice = 0; }},
    {"switches on",
     [](RunChoices& c) {
         c.naturalSyntax = 1, c.spaceBetweenScripts = 1, c.chapterChoice = 1, c.lineStartChoice = 1;
     }},
    {"by the run", [](RunChoices& c) { c.chapterChoice = c.mixedTextChoice = c.lineStartChoice = -1; }},
    {"heading pattern", [](RunChoices&) {}, "^第.+节$"},
};

// What the library reads of the choices in a run of `kind`.
EdgeRunOptions readBack(RunKind kind, const RunChoices& choices, const char* headingPattern) {
    const api::Task task = kind == RunKind::Convert ? api::Task::Convert : api::Task::Format;
    return api::prepareRun(task, optionsFor(kind, libraryOptions(choices, QString::fromUtf8(headingPattern)))).edge;
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
    return expected;
}

bool same(const EdgeRunOptions& a, const EdgeRunOptions& b) {
    return static_cast<const RunOptions&>(a) == static_cast<const RunOptions&>(b) &&
           static_cast<const EdgeChoices&>(a) == static_cast<const EdgeChoices&>(b);
}

}  // namespace

class LibraryOptionsTest : public QObject {
    Q_OBJECT

private slots:
    // The library's defaults, but phrases in every run.
    void theFirstStartTakesTheLibrarysDefaults() {
        EdgeRunOptions expected;
        expected.phraseChoice = kChoiceOn;
        expected.byteOrderMark = kMarkDrop;
        QVERIFY(same(meantByDialog(firstStartChoices(), ""), expected));
        const FreshSettings settings;
        QCOMPARE(MainDialog().shownSettings().run, firstStartChoices());
    }

    void formatRunsTakeEveryChoice() {
        for (const ChoiceCase& choice : kChoices) {
            RunChoices choices = firstStartChoices();
            choice.set(choices);
            QVERIFY2(same(readBack(RunKind::Format, choices, choice.headingPattern),
                          meantByDialog(choices, choice.headingPattern)),
                     choice.name);
        }
    }

    void convertRunsTakeTheirOwnChoices() {
        for (const ChoiceCase& choice : kChoices) {
            RunChoices choices = firstStartChoices();
            choice.set(choices);
            QVERIFY2(same(readBack(RunKind::Convert, choices, choice.headingPattern),
                          convertOptions(meantByDialog(choices, choice.headingPattern))),
                     choice.name);
        }
    }

    // A position no list holds, as a stored value may be, runs as the first start.
    void positionsOutOfTheirListsTakeTheDefaults() {
        RunChoices choices = firstStartChoices();
        for (qint32 RunChoices::*position :
             {&RunChoices::sourceEncoding, &RunChoices::outputEncoding, &RunChoices::paragraphMode,
              &RunChoices::headingAlignment, &RunChoices::standard, &RunChoices::quoteStyle}) {
            choices.*position = 99;
        }
        QVERIFY(same(readBack(RunKind::Format, choices, ""), meantByDialog(firstStartChoices(), "")));
        for (qint32 RunChoices::*position : {&RunChoices::sourceEncoding, &RunChoices::paragraphMode}) {
            choices.*position = -1;
        }
        QVERIFY(same(readBack(RunKind::Format, choices, ""), meantByDialog(firstStartChoices(), "")));
    }
};

}  // namespace quillon

QTEST_MAIN(quillon::LibraryOptionsTest)
#include "library_options_test.moc"
