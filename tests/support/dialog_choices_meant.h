#pragma once

// What the dialog's choices mean in the engine's numbering, as its boxes and
// groups list them: the engine's values in order, then the Unicode entries,
// those of the output naming a form too; the dialog writes no byte-order
// mark. A reference for checking the dialog's own mapping onto the library.
#include <string>

#include "edge_options.h"
#include "encoding_positions.h"
#include "run_choices.h"

namespace quillon::testing {

inline unicode::EdgeRunOptions meantByDialog(const RunChoices& c, const std::string& headingPattern) {
    using namespace unicode;
    EdgeRunOptions o;
    o.sourceEncoding = c.sourceEncoding == 4 ? kSourceUtf8 : c.sourceEncoding;
    o.outputEncoding = c.outputEncoding >= kOutputUtf8SimplifiedPosition ? kOutputUtf8 : c.outputEncoding;
    o.form = c.outputEncoding == kOutputUtf8SimplifiedPosition    ? kFormSimplified
             : c.outputEncoding == kOutputUtf8TraditionalPosition ? kFormTraditional
                                                                  : kFormAuto;
    o.byteOrderMark = kMarkDrop;
    o.htmlAware = c.htmlAware;
    o.charsPerLine = c.charsPerLine;
    o.lineSpacing = c.lineSpacing;
    o.leadingSpaces = c.leadingSpaces;
    o.leftMargin = c.leftMargin;
    o.paragraphMode = c.paragraphMode;
    o.headingAlignment = c.headingAlignment;
    o.fullWidthSpaces = c.fullWidthSpaces;
    o.autoFix = c.autoFix;
    o.naturalSyntax = c.naturalSyntax;
    o.phraseChoice = c.phraseChoice;
    o.regionalWords = c.regionalWords;
    o.standard = c.standard;
    o.quoteStyle = c.quoteStyle;
    o.chapterChoice = c.chapterChoice;
    o.mixedTextChoice = c.mixedTextChoice;
    o.spaceBetweenScripts = c.spaceBetweenScripts;
    o.lineStartChoice = c.lineStartChoice;
    o.headingPattern = headingPattern;
    return o;
}

}  // namespace quillon::testing
