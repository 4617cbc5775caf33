#pragma once

#include <QString>

class QWidget;

namespace quillon {

// The status line under the output pane: one line, cut with an ellipsis when
// it is wider than the window; the whole text is its tool tip.
void showStatus(QWidget& dialog, const QString& text);
QString statusText(const QWidget& dialog);

}  // namespace quillon
