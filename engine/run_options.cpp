#include "run_options.h"

#include "text_formatter.h"

namespace quillon {

void applyOptions(const RunOptions& options, TextFormatter& formatter) {
    formatter.setSourceEncoding(options.sourceEncoding);
    formatter.setOutputEncoding(options.outputEncoding);
    formatter.setHtmlAware(options.htmlAware);
    formatter.setQuiet(options.quiet);
    formatter.setLineWidth(options.charsPerLine);
    formatter.setLineSpacing(options.lineSpacing);
    formatter.setLeadingSpaces(options.leadingSpaces);
    formatter.setLeftMargin(options.leftMargin);
    formatter.setParagraphMode(options.paragraphMode);
    formatter.setHeadingAlignment(options.headingAlignment);
    formatter.setFullWidthSpaces(options.fullWidthSpaces);
    formatter.setAutoFix(options.autoFix);
    formatter.setNaturalSyntax(options.naturalSyntax);
    formatter.setPhrases(options.phrases);
    formatter.setChapterHeadings(options.chapterHeadings);
    formatter.setMixedText(options.mixedText);
    formatter.setSpaceBetweenScripts(options.spaceBetweenScripts);
    formatter.setLineStartRules(options.lineStartRules);
}

}  // namespace quillon
