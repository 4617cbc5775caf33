// The option mapping: what every run starts with.
#include "control_ids.h"
#include "dialog_controls.h"
#include "encoding_positions.h"
#include "main_dialog.h"

namespace quillon {
namespace {

// A radio group with no button checked, or an encoding box without a
// selection, can only come from a stored position out of range or from text
// typed into the output box that names no encoding. The run then takes the
// option's first-start value rather than a number the engine does not know.
constexpr qint32 kDefaultParagraphMode = 0;     // Auto Detect
constexpr qint32 kDefaultHeadingAlignment = 1;  // Middle
constexpr qint32 kDefaultSourceEncoding = 0;    // Auto
constexpr qint32 kDefaultOutputEncoding = 0;    // SAME

qint32 orDefault(qint32 position, qint32 fallback) { return position < 0 ? fallback : position; }

}  // namespace

void MainDialog::applyOptions() {
    using namespace control_id;
    TextFormatter& f = *formatter;
    f.setLineWidth(dialogItemInt(*this, kCharsPerLine));
    f.setLineSpacing(dialogItemInt(*this, kLineSpacing));
    f.setLeadingSpaces(dialogItemInt(*this, kLeadSpaces));
    f.setLeftMargin(dialogItemInt(*this, kLeftMargin));
    f.setFullWidthSpaces(isButtonChecked(*this, kConvertEnglishPunc));
    f.setAutoFix(isButtonChecked(*this, kAutoFix));
    f.setNaturalSyntax(isButtonChecked(*this, kNaturalSyntax));
    f.setHtmlAware(isButtonChecked(*this, kHtml));
    f.setQuiet(isButtonChecked(*this, kQuietMode));
    f.setSourceEncoding(
        sourceEncodingAt(orDefault(selectedPosition(*this, kSourceEncoding), kDefaultSourceEncoding)));
    f.setOutputEncoding(
        outputEncodingAt(orDefault(selectedPosition(*this, kOutputEncoding), kDefaultOutputEncoding)));
    f.setParagraphMode(
        orDefault(checkedRadioPosition(*this, kParagraphFirst, kParagraphLast), kDefaultParagraphMode));
    f.setHeadingAlignment(
        orDefault(checkedRadioPosition(*this, kHeadingFirst, kHeadingLast), kDefaultHeadingAlignment));
}

}  // namespace quillon
