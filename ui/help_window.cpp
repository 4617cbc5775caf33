#include "help_window.h"

#include <QTextBrowser>

namespace quillon {
namespace {

constexpr char kHelpWindowName[] = "helpWindow";

}  // namespace

void showHelpWindow(QWidget& owner, const QUrl& page) {
    auto* browser = owner.findChild<QTextBrowser*>(QLatin1String(kHelpWindowName), Qt::FindDirectChildrenOnly);
    if (!browser) {
        browser = new QTextBrowser(&owner);
        browser->setObjectName(QLatin1String(kHelpWindowName));
        // A window of its own that stays beside the dialog, not a control in it.
        browser->setWindowFlag(Qt::Window);
        browser->setOpenExternalLinks(true);
        browser->resize(owner.fontMetrics().averageCharWidth() * 90, owner.fontMetrics().height() * 40);
    }
    browser->setWindowTitle(QObject::tr("Quillon Help"));
    browser->setSource(page);
    browser->show();
    browser->raise();
    browser->activateWindow();
}

}  // namespace quillon
