#include "help_page.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace quillon {
namespace {

// A dialog's help context is its template number above this base.
constexpr int kDialogContextBase = 0x20000;

}  // namespace

std::optional<QString> helpPageFile(const QString& programPath) {
    const QFileInfo program(programPath);
    const QString name = program.completeBaseName() + QStringLiteral(".html");
    // The installed page is found from the program's own folder, so an
    // installed tree works wherever it was put and from any working folder.
    for (const QString& folder :
         {program.absolutePath(), program.absolutePath() + QStringLiteral("/" QUILLON_HELP_FROM_PROGRAM)}) {
        const QFileInfo page(QDir(folder), name);
        if (page.isFile()) return QDir::cleanPath(page.absoluteFilePath());
    }
    return std::nullopt;
}

std::optional<QUrl> helpPageUrl(int templateId) {
    const std::optional<QString> page = helpPageFile(QCoreApplication::applicationFilePath());
    if (!page) return std::nullopt;
    QUrl url = QUrl::fromLocalFile(*page);
    url.setFragment(QStringLiteral("context-%1").arg(kDialogContextBase + templateId, 0, 16));
    return url;
}

}  // namespace quillon
