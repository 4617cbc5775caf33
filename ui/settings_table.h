#pragma once

#include "control_ids.h"
#include "settings_store.h"

namespace quillon {

// How the dialog shows a stored value.
struct SettingControl {
    enum class Kind {
        None,        // not shown in a control (the fonts, the window)
        Text,        // an edit field's text
        Number,      // an edit field read as a signed number
        CheckBox,    // 1 when checked
        ByRunCheckBox,  // 1 checked, 0 unchecked, -1 partly checked: as the run's text suggests
        RadioGroup,  // position of the checked button among first..last, -1 for none
        FileSwitch,  // two buttons, clipboard then file: 0 for the first, 1 for the second
        ChoiceBox,   // position of the selected item, -1 for none
        OutputBoxes, // the output encoding box, then the form box: their output position
        FileList,    // a push button that keeps the files chosen through it
    };
    Kind kind = Kind::None;
    int first = 0;  // the control, or the first of its group
    int last = 0;   // the last of a group

    // True for a radio group or box, whose -1 is no value of its option.
    bool showsPosition() const {
        return kind == Kind::RadioGroup || kind == Kind::ChoiceBox || kind == Kind::OutputBoxes;
    }
};

inline constexpr SettingControl kOutputPositionControl{SettingControl::Kind::OutputBoxes,
                                                       control_id::kOutputEncoding, control_id::kOutputForm};

// One run option, reached like a field of StoredSettings.
struct RunOption {
    qint32 RunChoices::*option;
    qint32& operator()(StoredSettings& s) const { return s.run.*option; }
    const qint32& operator()(const StoredSettings& s) const { return s.run.*option; }
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
    using R = RunChoices;
    visit("SrcFile", &S::srcFile, SettingControl{Text, kSourcePath});
    visit("DetFile", &S::detFile, SettingControl{Text, kDestinationPath});
    visit("LineChars", RunOption{&R::charsPerLine}, SettingControl{Number, kCharsPerLine});
    visit("LineSpacing", RunOption{&R::lineSpacing}, SettingControl{Number, kLineSpacing});
    visit("LeadingSpaces", RunOption{&R::leadingSpaces}, SettingControl{Number, kLeadSpaces});
    visit("LeftMargin", RunOption{&R::leftMargin}, SettingControl{Number, kLeftMargin});
    visit("paragraph", RunOption{&R::paragraphMode},
          SettingControl{RadioGroup, kParagraphFirst, kParagraphLast});
    visit("SrcFromFile", &S::srcFromFile,
          SettingControl{FileSwitch, kSourceClipboard, kSourceFile});
    visit("DetFromFile", &S::detFromFile,
          SettingControl{FileSwitch, kDestinationClipboard, kDestinationFile});
    visit("HeadingAlignment", RunOption{&R::headingAlignment},
          SettingControl{RadioGroup, kHeadingFirst, kHeadingLast});
    visit("TransEnglishPunc", RunOption{&R::fullWidthSpaces},
          SettingControl{CheckBox, kConvertEnglishPunc});
    visit("AutoFix", RunOption{&R::autoFix}, SettingControl{CheckBox, kAutoFix});
    visit("NaturalSyntax", RunOption{&R::naturalSyntax}, SettingControl{CheckBox, kNaturalSyntax});
    visit("HTML", RunOption{&R::htmlAware}, SettingControl{CheckBox, kHtml});
    visit("Quiet", RunOption{&R::quiet}, SettingControl{CheckBox, kQuietMode});
    // Ticked: phrases in every run; unticked: none, and legacy runs give the
    // engine's own bytes.
    visit("Phrases", RunOption{&R::phraseChoice}, SettingControl{CheckBox, kPhrases});
    visit("RegionalWords", RunOption{&R::regionalWords},
          SettingControl{CheckBox, kRegionalWords});
    visit("WordLists", &S::wordLists, SettingControl{FileList, kWordLists});
    visit("Standard", RunOption{&R::standard}, SettingControl{ChoiceBox, kStandard});
    visit("ChapterHeadings", RunOption{&R::chapterChoice},
          SettingControl{ByRunCheckBox, kChapterHeadings});
    visit("HeadingPattern", &S::headingPattern,
          SettingControl{Text, kHeadingPattern});
    visit("QuoteStyle", RunOption{&R::quoteStyle}, SettingControl{ChoiceBox, kQuoteStyle});
    // Partly checked: on for Unicode source or output, off for legacy runs.
    visit("MixedText", RunOption{&R::mixedTextChoice},
          SettingControl{ByRunCheckBox, kMixedText});
    visit("SpaceBetweenScripts", RunOption{&R::spaceBetweenScripts},
          SettingControl{CheckBox, kSpaceBetweenScripts});
    visit("LineStartRules", RunOption{&R::lineStartChoice},
          SettingControl{ByRunCheckBox, kLineStartRules});
    visit("encoding", RunOption{&R::sourceEncoding}, SettingControl{ChoiceBox, kSourceEncoding});
    visit("OutputEncoding", RunOption{&R::outputEncoding}, kOutputPositionControl);
    visit("GbkFontName", FontPart<QString>{&S::gbkFont, &FontSetting::faceName}, SettingControl{});
    visit("GbkFontSize", FontPart<qint32>{&S::gbkFont, &FontSetting::size}, SettingControl{});
    visit("GbkFontEffects", FontPart<qint32>{&S::gbkFont, &FontSetting::effects}, SettingControl{});
    visit("GbkFontCharSet", FontPart<qint32>{&S::gbkFont, &FontSetting::charSet}, SettingControl{});
    visit("Big5FontName", FontPart<QString>{&S::big5Font, &FontSetting::faceName},
          SettingControl{});
    visit("Big5FontSize", FontPart<qint32>{&S::big5Font, &FontSetting::size}, SettingControl{});
    visit("Big5FontEffects", FontPart<qint32>{&S::big5Font, &FontSetting::effects},
          SettingControl{});
    visit("Big5FontCharSet", FontPart<qint32>{&S::big5Font, &FontSetting::charSet},
          SettingControl{});
    visit("WindowGeometry", &S::windowGeometry, SettingControl{});
}

}  // namespace quillon
