#pragma once

#include <QFont>
#include <QString>
#include <QtGlobal>

namespace quillon {

// One display font as the settings keep it.
struct FontSetting {
    QString faceName;
    qint32 size = 0;     // tenths of a point
    qint32 effects = 0;  // kBoldEffect | kItalicEffect
    qint32 charSet = 0;  // kGb2312CharSet, kChineseBig5CharSet or another

    bool operator==(const FontSetting&) const = default;
};

inline constexpr qint32 kBoldEffect = 1;
inline constexpr qint32 kItalicEffect = 2;

// The character sets a stored font can name for the text it shows.
inline constexpr qint32 kGb2312CharSet = 134;
inline constexpr qint32 kChineseBig5CharSet = 136;

// The font the output pane shows: the stored size to the tenth of a point.
QFont paneFont(const FontSetting& setting);

// The font the font chooser opens at: whole points only (105 opens at 10 pt).
QFont chooserInitialFont(const FontSetting& setting);

// The setting for a font the user chose. Only a weight of exactly QFont::Bold
// counts as bold; the chooser offers no character set, so it is passed in.
FontSetting fontSettingFromChoice(const QFont& chosen, qint32 charSet);

// Maps the default face names "SimSun" and "PMingLiu" to installed Chinese
// faces when the system lacks them, so that simplified text gets a simplified
// face and traditional text a traditional one instead of a Japanese fallback.
// Needs a QGuiApplication.
void installCjkFontSubstitutions();

}  // namespace quillon
