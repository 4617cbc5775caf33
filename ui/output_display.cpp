// The output pane and the two fonts it shows text in.
#include <QPlainTextEdit>

#include "control_ids.h"
#include "encoding_profile.h"
#include "legacy_codec.h"
#include "main_dialog.h"
#include "output_loader.h"

namespace quillon {

void MainDialog::showOutput(const QString& path, qint32 profileId, const char* unicodeEncoding) {
    const FontSetting* font = profileId == kGbId || profileId == kGbkId ? &gbkFont
                              : profileId == kBig5Id                    ? &big5Font
                                                                        : nullptr;
    if (!font) return;
    auto* pane = qobject_cast<QPlainTextEdit*>(control(control_id::kOutputPane));
    // A destination that cannot be read back leaves the pane as it was, font included.
    const char* converter = unicodeEncoding ? unicodeEncoding : converterForCharSet(font->charSet, profileId);
    if (!loadOutput(*pane, path, converter)) return;
    displayFont = font;
    applyFont(*displayFont);
}

void MainDialog::applyFont(const FontSetting& font) {
    control(control_id::kOutputPane)->setFont(paneFont(font));
}

void MainDialog::onGbkFont() { chooseFont(gbkFont); }
void MainDialog::onBig5Font() { chooseFont(big5Font); }

void MainDialog::chooseFont(FontSetting& font) {
    const std::optional<QFont> chosen = hooks_.chooseFont(this, chooserInitialFont(font));
    if (!chosen) return;
    // The chooser knows no character sets; the font keeps its script's.
    font = fontSettingFromChoice(*chosen, font.charSet);
    if (displayFont == &font) applyFont(font);
}

}  // namespace quillon
