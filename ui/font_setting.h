#pragma once

#include <QFont>
#include <QFontDatabase>
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

// The font the font chooser opens at: the face the pane shows for it (a
// stand-in when the stored face is missing), whole points only (105 opens at
// 10 pt). Needs a QGuiApplication.
QFont chooserInitialFont(const FontSetting& setting);

// True when the chooser was confirmed at the font it opened at, as far as a
// setting can tell: such a choice changes nothing.
bool sameChoice(const QFont& chosen, const QFont& initial);

// The fonts the chooser lists for a setting: by its character set.
QFontDatabase::WritingSystem writingSystemOf(const FontSetting& setting);

// The setting for a font the user chose. Only a weight of exactly QFont::Bold
// counts as bold; the chooser offers no character set, so it is passed in.
FontSetting fontSettingFromChoice(const QFont& chosen, qint32 charSet);

// Maps the default face names "SimSun" and "PMingLiu" to installed Chinese
// faces when the system lacks them, so that simplified text gets a simplified
// face and traditional text a traditional one instead of a Japanese fallback.
// Needs a QGuiApplication.
void installCjkFontSubstitutions();

}  // namespace quillon
