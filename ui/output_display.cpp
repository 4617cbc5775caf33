// The output pane and the two fonts it shows text in.
#include <QPlainTextEdit>

#include "control_ids.h"
#include "legacy_codec.h"
#include "main_dialog.h"
#include "output_loader.h"

namespace quillon {

std::optional<PaneExtent> MainDialog::showOutput(const QString& path, const RunText& output) {
    const FontSetting* font = output.script == Script::Simplified    ? &gbkFont
                              : output.script == Script::Traditional ? &big5Font
                                                                     : nullptr;
    if (!font) return std::nullopt;
    auto* pane = qobject_cast<QPlainTextEdit*>(control(control_id::kOutputPane));
    // A destination that cannot be read back leaves the pane as it was, font included.
    const char* converter = converterForCharSet(font->charSet, output);
    const std::optional<PaneExtent> extent = loadOutput(*pane, path, converter);
    if (!extent) return std::nullopt;
    displayFont = font;
    applyFont(*displayFont);
    return extent;
}

void MainDialog::applyFont(const FontSetting& font) {
    control(control_id::kOutputPane)->setFont(paneFont(font));
}

void MainDialog::onGbkFont() { chooseFont(gbkFont); }
void MainDialog::onBig5Font() { chooseFont(big5Font); }

void MainDialog::chooseFont(FontSetting& font) {
    const QFont initial = chooserInitialFont(font);
    const std::optional<QFont> chosen = hooks_.chooseFont(this, initial, writingSystemOf(font));
    // OK without a change keeps the stored face: the user's "SimSun" stays,
    // though a stand-in was what the chooser showed.
    if (!chosen || sameChoice(*chosen, initial)) return;
    // The chooser knows no character sets; the font keeps its script's.
    font = fontSettingFromChoice(*chosen, font.charSet);
    if (displayFont == &font) applyFont(font);
}

}  // namespace quillon
