#pragma once

#include <cstdint>

namespace quillon {

class TextFormatter;

// The values each option of a run can take, in the engine's numbering. Front
// ends, tests and fuzz targets name them from here.
enum SourceEncoding : std::int32_t {
    kSourceAuto = 0,
    kSourceGb = 1,
    kSourceGbk = 2,
    kSourceBig5 = 3,
};

enum OutputEncoding : std::int32_t {
    kOutputSame = 0,
    kOutputGb = 1,
    kOutputGbk = 2,
    kOutputBig5 = 3,
    // GB and GBK go to Big5, Big5 goes to GB.
    kOutputDifferent = 4,
};

enum ParagraphMode : std::int32_t {
    kParagraphAutoDetect = 0,
    kParagraphOneLine = 1,
    kParagraphEmptyLine = 2,
    kParagraphLeadingSpaces = 3,
    kParagraphForce = 4,
};

enum HeadingAlignment : std::int32_t {
    kAlignLeft = 0,
    kAlignMiddle = 1,
    kAlignRight = 2,
    kAlignNormal = 3,
};

// Every option a run can set. The defaults are the front ends' first-start
// values, so the command line and the dialog give the same output for the
// same choices. (The engine object's own construction defaults differ in line
// width; every run sets all options from a record like this one.)
struct RunOptions {
    std::int32_t sourceEncoding = kSourceAuto;
    std::int32_t outputEncoding = kOutputSame;
    std::int32_t htmlAware = 0;
    std::int32_t quiet = 0;
    std::int32_t charsPerLine = 38;
    std::int32_t lineSpacing = 1;
    std::int32_t leadingSpaces = 2;
    std::int32_t leftMargin = 0;
    std::int32_t paragraphMode = kParagraphAutoDetect;
    std::int32_t headingAlignment = kAlignMiddle;
    std::int32_t fullWidthSpaces = 1;
    std::int32_t autoFix = 1;
    std::int32_t naturalSyntax = 0;
    // Choose each character's counterpart by the phrase it stands in.
    std::int32_t phrases = 0;
    // Lines that open a chapter (第三章, 楔子, Chapter 3) are headings.
    std::int32_t chapterHeadings = 0;
    // Text with Latin words and numbers: their spaces and marks stay, and
    // no line breaks inside a word.
    std::int32_t mixedText = 0;
    // In mixed text, one space between a hanzi and a Latin letter or digit.
    std::int32_t spaceBetweenScripts = 0;
    // No line starts with a closing mark or ends with an opening one.
    std::int32_t lineStartRules = 0;

    bool operator==(const RunOptions&) const = default;
};

// Calls every setter of the engine object with the record's values.
void applyOptions(const RunOptions& options, TextFormatter& formatter);

}  // namespace quillon
