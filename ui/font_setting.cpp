#include "font_setting.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>

namespace quillon {
namespace {

QFont fontWithEffects(const FontSetting& setting) {
    QFont font(setting.faceName);
    font.setBold((setting.effects & kBoldEffect) != 0);
    font.setItalic((setting.effects & kItalicEffect) != 0);
    return font;
}

}  // namespace

QFont paneFont(const FontSetting& setting) {
    QFont font = fontWithEffects(setting);
    font.setPointSizeF(setting.size / 10.0);
    return font;
}

QFont chooserInitialFont(const FontSetting& setting) {
    QFont font = fontWithEffects(setting);
    // The face the pane really shows: the stand-in when the stored face is
    // not installed, so the chooser does not start at some other face.
    font.setFamily(QFontInfo(paneFont(setting)).family());
    font.setPointSize(setting.size / 10);
    return font;
}

bool sameChoice(const QFont& chosen, const QFont& initial) {
    return chosen.family() == initial.family() && chosen.pointSizeF() == initial.pointSizeF() &&
           (chosen.weight() == QFont::Bold) == (initial.weight() == QFont::Bold) &&
           chosen.italic() == initial.italic();
}

QFontDatabase::WritingSystem writingSystemOf(const FontSetting& setting) {
    switch (setting.charSet & 0xFF) {
        case kGb2312CharSet: return QFontDatabase::SimplifiedChinese;
        case kChineseBig5CharSet: return QFontDatabase::TraditionalChinese;
        default: return QFontDatabase::Any;
    }
}

FontSetting fontSettingFromChoice(const QFont& chosen, qint32 charSet) {
    qint32 effects = 0;
    if (chosen.weight() == QFont::Bold) effects |= kBoldEffect;
    if (chosen.italic()) effects |= kItalicEffect;
    return {chosen.family(), qRound(chosen.pointSizeF() * 10), effects, charSet};
}

void installCjkFontSubstitutions() {
    struct Substitution {
        const char* face;
        const char* replacements[3];
    };
    static constexpr Substitution kSubstitutions[] = {
        // Monospaced first: their Latin letters are half a hanzi wide, as
        // Format counts them, so the pane shows its columns as they are.
        {"SimSun", {"Noto Sans Mono CJK SC", "Noto Serif CJK SC", "AR PL UMing CN"}},
        {"PMingLiu", {"Noto Sans Mono CJK TC", "Noto Serif CJK TC", "AR PL UMing TW"}},
    };
    for (const Substitution& s : kSubstitutions) {
        if (QFontDatabase::hasFamily(QString::fromLatin1(s.face))) continue;
        QStringList replacements;
        for (const char* name : s.replacements) replacements << QString::fromLatin1(name);
        QFont::insertSubstitutions(QString::fromLatin1(s.face), replacements);
    }
}

}  // namespace quillon
