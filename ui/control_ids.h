#pragma once

// The numbers of the main dialog's controls, as its template gives them.
namespace quillon::control_id {

inline constexpr int kConvert = 1030;
inline constexpr int kFormat = 1023;
inline constexpr int kQuit = 2;
inline constexpr int kHelp = 57670;

inline constexpr int kSourceClipboard = 1039;
inline constexpr int kSourceFile = 1040;
inline constexpr int kSourcePath = 1000;
inline constexpr int kBrowseSource = 1004;
inline constexpr int kSourceEncoding = 1007;

inline constexpr int kDestinationClipboard = 1041;
inline constexpr int kDestinationFile = 1042;
inline constexpr int kDestinationPath = 1003;
inline constexpr int kBrowseDestination = 1005;
inline constexpr int kOutputEncoding = 1008;
inline constexpr int kOutputForm = 1056;  // the written form of UTF-8 output

inline constexpr int kCharsPerLine = 1010;
inline constexpr int kLineSpacing = 1012;
inline constexpr int kLeadSpaces = 1013;
inline constexpr int kLeftMargin = 1015;

// Radio groups: a button's position in its group is the option's value.
inline constexpr int kParagraphFirst = 1025;  // Auto Detect
inline constexpr int kParagraphLast = 1029;   // Force
inline constexpr int kHeadingFirst = 1043;    // Left
inline constexpr int kHeadingLast = 1046;     // Normal

inline constexpr int kConvertEnglishPunc = 1018;
inline constexpr int kAutoFix = 1019;
inline constexpr int kNaturalSyntax = 1020;
inline constexpr int kHtml = 1021;
inline constexpr int kQuietMode = 1053;
inline constexpr int kPhrases = 1054;
inline constexpr int kRegionalWords = 1062;
inline constexpr int kWordLists = 1073;  // keeps the user's own word lists
inline constexpr int kStandard = 1060;  // whose standard forms converted Unicode text takes
inline constexpr int kChapterHeadings = 1063;
inline constexpr int kHeadingPattern = 1065;
inline constexpr int kQuoteStyle = 1067;
inline constexpr int kMixedText = 1070;
inline constexpr int kSpaceBetweenScripts = 1071;
inline constexpr int kLineStartRules = 1072;

inline constexpr int kOutputPane = 1050;
inline constexpr int kStatusLine = 1055;  // under the pane: the last run in one line
inline constexpr int kSimplifiedFont = 1051;
inline constexpr int kTraditionalFont = 1052;

}  // namespace quillon::control_id
