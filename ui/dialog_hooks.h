#pragma once

#include <QFont>
#include <QFontDatabase>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <optional>

#include "clipboard_source.h"

class QWidget;

namespace quillon {

// The modal platform dialogs the main dialog opens, and the help browser, as
// replaceable functions: tests put recorders in their place so nothing blocks.
struct DialogHooks {
    // A chosen file path, or nothing when the user cancelled.
    using FileChooser = std::function<std::optional<QString>(QWidget* owner, const QString& initialPath)>;
    FileChooser chooseOpenFile;  // existing files only
    FileChooser chooseSaveFile;  // asks before overwriting an existing file

    // The user's own word lists as the user left them in their chooser, or
    // nothing when the user cancelled.
    std::function<std::optional<QStringList>(QWidget* owner, const QStringList& current)> chooseWordLists;

    // A chosen font, or nothing when the user cancelled. The chooser lists
    // the fonts of `writingSystem` and shows a sample of it.
    std::function<std::optional<QFont>(QWidget* owner, const QFont& initial,
                                       QFontDatabase::WritingSystem writingSystem)>
        chooseFont;

    // A modal box with an OK button; `owner` null makes it a window of its own.
    std::function<void(QWidget* owner, const QString& caption, const QString& text,
                       QMessageBox::Icon icon)>
        showMessage;

    // Opens the help page at `url`; false when it cannot be shown.
    std::function<bool(const QUrl& url)> openHelp;

    // Shows the About box modally over `owner`.
    std::function<void(QWidget* owner)> showAbout;

    // Where a run's clipboard text comes from at this moment.
    std::function<ClipboardSource()> clipboardSource;

    // The real dialogs of the desktop.
    static DialogHooks platform();
};

}  // namespace quillon
