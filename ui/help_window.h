#pragma once

#include <QUrl>

class QWidget;

namespace quillon {

// Shows the help page at `page` in a window of the program's own, beside
// `owner`, for a desktop that has no browser to show it: one window, brought
// to the front and moved to the page on each call.
void showHelpWindow(QWidget& owner, const QUrl& page);

}  // namespace quillon
