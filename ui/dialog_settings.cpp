// The dialog's side of the settings: which control shows which stored value.
#include "control_ids.h"
#include "dialog_controls.h"
#include "main_dialog.h"
#include "status_line.h"

namespace quillon {

void MainDialog::loadSettings() {
    using namespace control_id;
    settingsKey.emplace();
    const StoredSettings s = settingsKey->load();
    gbkFont = s.gbkFont;
    big5Font = s.big5Font;
    displayFont = nullptr;

    // Positions are not range-checked: one outside its group checks no
    // button, one outside its box selects nothing.
    setDialogItemText(*this, kSourcePath, s.srcFile);
    setDialogItemText(*this, kDestinationPath, s.detFile);
    setDialogItemInt(*this, kCharsPerLine, s.lineChars);
    setDialogItemInt(*this, kLineSpacing, s.lineSpacing);
    setDialogItemInt(*this, kLeadSpaces, s.leadingSpaces);
    setDialogItemInt(*this, kLeftMargin, s.leftMargin);
    checkRadioPosition(*this, kParagraphFirst, kParagraphLast, s.paragraph);
    checkRadioPosition(*this, kSourceClipboard, kSourceFile, s.srcFromFile == 0 ? 0 : 1);
    checkRadioPosition(*this, kDestinationClipboard, kDestinationFile, s.detFromFile == 0 ? 0 : 1);
    checkRadioPosition(*this, kHeadingFirst, kHeadingLast, s.headingAlignment);
    checkButton(*this, kConvertEnglishPunc, s.transEnglishPunc != 0);
    checkButton(*this, kAutoFix, s.autoFix != 0);
    checkButton(*this, kNaturalSyntax, s.naturalSyntax != 0);
    checkButton(*this, kHtml, s.html != 0);
    checkButton(*this, kQuietMode, s.quiet != 0);
    selectPosition(*this, kSourceEncoding, s.encoding);
    selectPosition(*this, kOutputEncoding, s.outputEncoding);

    if (s.srcFromFile == 0) onSourceClipboard();
    if (s.detFromFile == 0) onDestinationClipboard();
    showStatus(*this, describeSettingsFile(settingsKey->fileName()));
}

// Paths are kept whole, however long. An empty radio group or encoding box
// is stored as -1, so the next start shows it empty again.
void MainDialog::saveSettings() {
    using namespace control_id;
    StoredSettings s;
    s.srcFile = dialogItemText(*this, kSourcePath);
    s.detFile = dialogItemText(*this, kDestinationPath);
    s.lineChars = dialogItemInt(*this, kCharsPerLine);
    s.lineSpacing = dialogItemInt(*this, kLineSpacing);
    s.leadingSpaces = dialogItemInt(*this, kLeadSpaces);
    s.leftMargin = dialogItemInt(*this, kLeftMargin);
    s.srcFromFile = isButtonChecked(*this, kSourceFile);
    s.detFromFile = isButtonChecked(*this, kDestinationFile);
    s.transEnglishPunc = isButtonChecked(*this, kConvertEnglishPunc);
    s.autoFix = isButtonChecked(*this, kAutoFix);
    s.naturalSyntax = isButtonChecked(*this, kNaturalSyntax);
    s.html = isButtonChecked(*this, kHtml);
    s.quiet = isButtonChecked(*this, kQuietMode);
    s.encoding = selectedPosition(*this, kSourceEncoding);
    s.outputEncoding = selectedPosition(*this, kOutputEncoding);
    s.paragraph = checkedRadioPosition(*this, kParagraphFirst, kParagraphLast);
    s.headingAlignment = checkedRadioPosition(*this, kHeadingFirst, kHeadingLast);
    s.gbkFont = gbkFont;
    s.big5Font = big5Font;
    // A store that cannot be written loses this session's changes silently,
    // as the next start simply finds the values it had.
    settingsKey->save(s);
}

}  // namespace quillon
