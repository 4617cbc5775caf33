#include "help_page.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "interface_language.h"

namespace quillon {
namespace {

// A dialog's help context is its template number above this base.
constexpr int kDialogContextBase = 0x20000;

}  // namespace

std::optional<QString> helpPageFile(const QString& programPath, const QString& language) {
    const QFileInfo program(programPath);
    QStringList names;
    if (!language.isEmpty()) names << program.completeBaseName() + QLatin1Char('_') + language + QStringLiteral(".html");
    names << program.completeBaseName() + QStringLiteral(".html");
    for (const QString& name : names) {
        // The installed page is found from the program's own folder, so an
        // installed tree works wherever it was put and from any working folder.
        for (const QString& folder :
             {program.absolutePath(), program.absolutePath() + QStringLiteral("/" QUILLON_HELP_FROM_PROGRAM)}) {
            const QFileInfo page(QDir(folder), name);
            if (page.isFile()) return QDir::cleanPath(page.absoluteFilePath());
        }
    }
    return std::nullopt;
}

std::optional<QUrl> helpPageUrl(int templateId) {
    const std::optional<QString> page = helpPageFile(QCoreApplication::applicationFilePath(), interfaceLanguage());
    if (!page) return std::nullopt;
    QUrl url = QUrl::fromLocalFile(*page);
    url.setFragment(QStringLiteral("context-%1").arg(kDialogContextBase + templateId, 0, 16));
    return url;
}

}  // namespace quillon
