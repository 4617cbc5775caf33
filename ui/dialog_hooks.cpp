#include "dialog_hooks.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QFontDialog>

#include "about_dialog.h"

namespace quillon {

namespace {

// Every name is a file name here; the pattern "*.*" would hide the many
// files without an extension.
const QString kAllFilesFilter = QStringLiteral("All Files (*)");

std::optional<QString> chosenPath(const QString& path) {
    if (path.isEmpty()) return std::nullopt;
    return path;
}

}  // namespace

DialogHooks DialogHooks::platform() {
    DialogHooks hooks;
    hooks.chooseOpenFile = [](QWidget* owner, const QString& initialPath) {
        return chosenPath(QFileDialog::getOpenFileName(owner, QString(), initialPath, kAllFilesFilter));
    };
    hooks.chooseSaveFile = [](QWidget* owner, const QString& initialPath) {
        return chosenPath(QFileDialog::getSaveFileName(owner, QString(), initialPath, kAllFilesFilter));
    };
    hooks.chooseFont = [](QWidget* owner, const QFont& initial) -> std::optional<QFont> {
        bool chosen = false;
        const QFont font = QFontDialog::getFont(&chosen, initial, owner);
        if (!chosen) return std::nullopt;
        return font;
    };
    hooks.showMessage = [](QWidget* owner, const QString& caption, const QString& text,
                           QMessageBox::Icon icon) {
        QMessageBox box(icon, caption, text, QMessageBox::Ok, owner);
        box.exec();
    };
    hooks.openHelp = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    hooks.showAbout = [](QWidget* owner) {
        AboutDialog about(owner);
        about.exec();
    };
    return hooks;
}

}  // namespace quillon
