#pragma once

#include <QString>
#include <QtGlobal>

#include <quillon/quillon.h>

#include "run_kind.h"

namespace quillon {

// The options of a run as the dialog's controls show them and its store
// keeps them: numbers, switches (1 on), three-state boxes (-1: as the run's
// text suggests) and positions in radio groups and boxes (-1: none). All 0
// until filled: firstStartChoices() has the values of a first start.
struct RunChoices {
    qint32 sourceEncoding = 0;  // a position in the source box
    qint32 outputEncoding = 0;  // an output position (encoding_positions.h)
    qint32 htmlAware = 0;
    qint32 quiet = 0;  // the dialog's own: no run is told of it
    qint32 charsPerLine = 0;
    qint32 lineSpacing = 0;
    qint32 leadingSpaces = 0;
    qint32 leftMargin = 0;
    qint32 paragraphMode = 0;     // a radio position
    qint32 headingAlignment = 0;  // a radio position
    qint32 fullWidthSpaces = 0;
    qint32 autoFix = 0;
    qint32 naturalSyntax = 0;
    qint32 phraseChoice = 0;
    qint32 regionalWords = 0;
    qint32 standard = 0;    // a position in the standard box
    qint32 quoteStyle = 0;  // a position in the quotes box
    qint32 chapterChoice = 0;
    qint32 mixedTextChoice = 0;
    qint32 spaceBetweenScripts = 0;
    qint32 lineStartChoice = 0;

    bool operator==(const RunChoices&) const = default;
};

// The choices of the dialog's first start: the library's defaults, but for
// phrases, which every run chooses unless the user says otherwise.
RunChoices firstStartChoices();

// The library's options that `choices` and the heading pattern name, for a
// format run. A position out of its list names the library's default; no
// run writes a byte-order mark, for the dialog's output and clipboard text
// have none.
api::Options libraryOptions(const RunChoices& choices, const QString& headingPattern);

// Those of `options` a run of `kind` takes: a convert run names no format
// option, which the library refuses there.
api::Options optionsFor(RunKind kind, const api::Options& options);

}  // namespace quillon
