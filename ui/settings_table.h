#pragma once

#include <cstdint>

#include "control_ids.h"
#include "run_options.h"
#include "settings_store.h"

namespace quillon {

// How the dialog shows a stored value, and the run option it sets, if any.
struct SettingControl {
    enum class Kind {
        None,        // not shown in a control (the fonts)
        Text,        // an edit field's text
        Number,      // an edit field read as a signed number
        CheckBox,    // 1 when checked
        RadioGroup,  // position of the checked button among first..last, -1 for none
        FileSwitch,  // two buttons, clipboard then file: 0 for the first, 1 for the second
        ChoiceBox,   // position of the selected item, -1 for none
    };
    Kind kind = Kind::None;
    int first = 0;  // the control, or the first of its group
    int last = 0;   // the last of a group
    std::int32_t RunOptions::*option = nullptr;
};

// One part of a stored font, reached like a field of StoredSettings.
template <typename T>
struct FontPart {
    FontSetting StoredSettings::*font;
    T FontSetting::*part;
    T& operator()(StoredSettings& s) const { return s.*font.*part; }
    const T& operator()(const StoredSettings& s) const { return s.*font.*part; }
};

// Every stored value once: its name in the store, its field (call
// std::invoke(field, settings)) and its control. The defaults are the
// fields' initial values. Calls visit(name, field, control) for each, in the
// order the dialog fills its controls.
template <typename Visit>
void forEachSetting(Visit&& visit) {
    using namespace control_id;
    using S = StoredSettings;
    using enum SettingControl::Kind;
    using R = RunOptions;
    visit("SrcFile", &S::srcFile, SettingControl{Text, kSourcePath});
    visit("DetFile", &S::detFile, SettingControl{Text, kDestinationPath});
    visit("LineChars", &S::lineChars, SettingControl{Number, kCharsPerLine, 0, &R::charsPerLine});
    visit("LineSpacing", &S::lineSpacing, SettingControl{Number, kLineSpacing, 0, &R::lineSpacing});
    visit("LeadingSpaces", &S::leadingSpaces,
          SettingControl{Number, kLeadSpaces, 0, &R::leadingSpaces});
    visit("LeftMargin", &S::leftMargin, SettingControl{Number, kLeftMargin, 0, &R::leftMargin});
    visit("paragraph", &S::paragraph,
          SettingControl{RadioGroup, kParagraphFirst, kParagraphLast, &R::paragraphMode});
    visit("SrcFromFile", &S::srcFromFile, SettingControl{FileSwitch, kSourceClipboard, kSourceFile});
    visit("DetFromFile", &S::detFromFile,
          SettingControl{FileSwitch, kDestinationClipboard, kDestinationFile});
    visit("HeadingAlignment", &S::headingAlignment,
          SettingControl{RadioGroup, kHeadingFirst, kHeadingLast, &R::headingAlignment});
    visit("TransEnglishPunc", &S::transEnglishPunc,
          SettingControl{CheckBox, kConvertEnglishPunc, 0, &R::fullWidthSpaces});
    visit("AutoFix", &S::autoFix, SettingControl{CheckBox, kAutoFix, 0, &R::autoFix});
    visit("NaturalSyntax", &S::naturalSyntax,
          SettingControl{CheckBox, kNaturalSyntax, 0, &R::naturalSyntax});
    visit("HTML", &S::html, SettingControl{CheckBox, kHtml, 0, &R::htmlAware});
    visit("Quiet", &S::quiet, SettingControl{CheckBox, kQuietMode, 0, &R::quiet});
    visit("encoding", &S::encoding, SettingControl{ChoiceBox, kSourceEncoding, 0, &R::sourceEncoding});
    visit("OutputEncoding", &S::outputEncoding,
          SettingControl{ChoiceBox, kOutputEncoding, 0, &R::outputEncoding});
    visit("GbkFontName", FontPart<QString>{&S::gbkFont, &FontSetting::faceName}, SettingControl{});
    visit("GbkFontSize", FontPart<qint32>{&S::gbkFont, &FontSetting::size}, SettingControl{});
    visit("GbkFontEffects", FontPart<qint32>{&S::gbkFont, &FontSetting::effects}, SettingControl{});
    visit("GbkFontCharSet", FontPart<qint32>{&S::gbkFont, &FontSetting::charSet}, SettingControl{});
    visit("Big5FontName", FontPart<QString>{&S::big5Font, &FontSetting::faceName}, SettingControl{});
    visit("Big5FontSize", FontPart<qint32>{&S::big5Font, &FontSetting::size}, SettingControl{});
    visit("Big5FontEffects", FontPart<qint32>{&S::big5Font, &FontSetting::effects}, SettingControl{});
    visit("Big5FontCharSet", FontPart<qint32>{&S::big5Font, &FontSetting::charSet}, SettingControl{});
}

}  // namespace quillon
