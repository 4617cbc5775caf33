#pragma once

#include <QFont>
#include <QFontDatabase>

#include <optional>

class QWidget;

namespace quillon {

// The desktop's font chooser set up for the output pane: it lists the fonts
// of `writingSystem` with a sample in it, and offers no effects, since the
// pane shows none. Nothing when the user cancels.
std::optional<QFont> chooseFontOfWritingSystem(QWidget* owner, const QFont& initial,
                                               QFontDatabase::WritingSystem writingSystem);

// Sets a chooser up as above; apart, so that it can be checked without
// running it modally.
void setUpFontChooser(QWidget& chooser, QFontDatabase::WritingSystem writingSystem);

}  // namespace quillon
