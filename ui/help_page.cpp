#include "help_page.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace quillon {
namespace {

// A dialog's help context is its template number above this base.
constexpr int kDialogContextBase = 0x20000;

}  // namespace

std::optional<QUrl> helpPageUrl(int templateId) {
    const QFileInfo program(QCoreApplication::applicationFilePath());
    const QFileInfo page(program.dir(), program.completeBaseName() + QStringLiteral(".html"));
    if (!page.isFile()) return std::nullopt;
    QUrl url = QUrl::fromLocalFile(page.absoluteFilePath());
    url.setFragment(QStringLiteral("context-%1").arg(kDialogContextBase + templateId, 0, 16));
    return url;
}

}  // namespace quillon
