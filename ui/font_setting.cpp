#include "font_setting.h"

#include <QFontDatabase>
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
    font.setPointSize(setting.size / 10);
    return font;
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
        {"SimSun", {"Noto Serif CJK SC", "Noto Sans CJK SC", "AR PL UMing CN"}},
        {"PMingLiu", {"Noto Serif CJK TC", "Noto Sans CJK TC", "AR PL UMing TW"}},
    };
    for (const Substitution& s : kSubstitutions) {
        if (QFontDatabase::hasFamily(QString::fromLatin1(s.face))) continue;
        QStringList replacements;
        for (const char* name : s.replacements) replacements << QString::fromLatin1(name);
        QFont::insertSubstitutions(QString::fromLatin1(s.face), replacements);
    }
}

}  // namespace quillon
