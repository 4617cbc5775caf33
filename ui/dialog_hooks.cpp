#include "dialog_hooks.h"

#include <QDesktopServices>
#include <QFileDialog>

#include "about_dialog.h"
#include "font_chooser.h"
#include "message_box.h"
#include "word_list_dialog.h"

namespace quillon {

namespace {

// Every name is a file name here; the pattern "*.*" would hide the many
// files without an extension.
QString allFilesFilter() { return QObject::tr("All Files (*)"); }

std::optional<QString> chosenPath(const QString& path) {
    if (path.isEmpty()) return std::nullopt;
    return path;
}

}  // namespace

DialogHooks DialogHooks::platform() {
    DialogHooks hooks;
    hooks.chooseOpenFile = [](QWidget* owner, const QString& initialPath) {
        return chosenPath(QFileDialog::getOpenFileName(owner, QString(), initialPath, allFilesFilter()));
    };
    hooks.chooseSaveFile = [](QWidget* owner, const QString& initialPath) {
        return chosenPath(QFileDialog::getSaveFileName(owner, QString(), initialPath, allFilesFilter()));
    };
    hooks.chooseWordLists = [](QWidget* owner, const QStringList& current) -> std::optional<QStringList> {
        WordListDialog chooser(current, [](QWidget* parent) {
            return QFileDialog::getOpenFileNames(parent, QString(), QString(), allFilesFilter());
        }, owner);
        if (chooser.exec() != QDialog::Accepted) return std::nullopt;
        return chooser.files();
    };
    hooks.chooseFont = chooseFontOfWritingSystem;
    hooks.showMessage = [](QWidget* owner, const QString& caption, const QString& text,
                           QMessageBox::Icon icon) { makeMessageBox(owner, caption, text, icon)->exec(); };
    hooks.openHelp = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    hooks.showAbout = [](QWidget* owner) {
        AboutDialog about(owner);
        about.exec();
    };
    hooks.clipboardSource = &ClipboardSource::current;
    return hooks;
}

}  // namespace quillon
