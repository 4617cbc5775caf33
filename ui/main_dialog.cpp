#include "main_dialog.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>

#include "control_ids.h"
#include "dialog_builder.h"
#include "dialog_controls.h"
#include "dialog_template.h"
#include "encoding_positions.h"
#include "engine_process.h"
#include "help_page.h"
#include "help_window.h"
#include "program_icon.h"
#include "resource_strings.h"
#include "status_line.h"

namespace quillon {
namespace {

constexpr int kAboutMenuString = 101;

}  // namespace

MainDialog::MainDialog(DialogHooks hooks) : icon(programIcon()), hooks_(std::move(hooks)) {
    onInitDialog();
}

MainDialog::~MainDialog() { onDestroy(); }

QWidget* MainDialog::control(int id) const { return dialogControl(*this, id); }

void MainDialog::onInitDialog() {
    buildDialog(*this, loadDialogTemplate(kTemplateId), icon);
    connectHandlers();
    acceptFileDrops();
    // The About item's own mnemonic, since the window menu cannot hold it.
    connect(new QShortcut(kAboutShortcut, this), &QShortcut::activated, this,
            [this] { onSysCommand(kAboutCommand); });
    setWindowIcon(icon);
    loadSettings();
}

void MainDialog::onDestroy() {
    saveSettings();
    settingsKey.reset();
}

void MainDialog::connectHandlers() {
    using namespace control_id;
    const std::pair<int, void (MainDialog::*)()> clicks[] = {
        {kBrowseSource, &MainDialog::onBrowseSource},
        {kBrowseDestination, &MainDialog::onBrowseDestination},
        {kFormat, &MainDialog::onFormat},
        {kSourceClipboard, &MainDialog::onSourceClipboard},
        {kSourceFile, &MainDialog::onSourceFile},
        {kDestinationClipboard, &MainDialog::onDestinationClipboard},
        {kDestinationFile, &MainDialog::onDestinationFile},
        {kConvert, &MainDialog::onConvert},
        {kQuit, &MainDialog::onCancel},
        {kHelp, &MainDialog::onHelp},
        {kSimplifiedFont, &MainDialog::onGbkFont},
        {kTraditionalFont, &MainDialog::onBig5Font},
        {kWordLists, &MainDialog::onWordLists},
    };
    for (const auto& [id, handler] : clicks) {
        connect(qobject_cast<QAbstractButton*>(control(id)), &QAbstractButton::clicked, this, handler);
    }
    connect(qobject_cast<QComboBox*>(control(kOutputEncoding)), &QComboBox::currentIndexChanged, this,
            &MainDialog::onOutputEncoding);
}

void MainDialog::onFormat() { runCommand(RunKind::Format); }
void MainDialog::onConvert() { runCommand(RunKind::Convert); }

void MainDialog::onCancel() {
    if (currentRun_) currentRun_->cancel();
    QDialog::reject();
}
void MainDialog::reject() { onCancel(); }

void MainDialog::onBrowseSource() {
    if (const auto path = hooks_.chooseOpenFile(this, dialogItemText(*this, control_id::kSourcePath))) {
        setDialogItemText(*this, control_id::kSourcePath, *path);
    }
}

void MainDialog::onBrowseDestination() {
    if (const auto path = hooks_.chooseSaveFile(this, dialogItemText(*this, control_id::kDestinationPath))) {
        setDialogItemText(*this, control_id::kDestinationPath, *path);
    }
}

void MainDialog::onWordLists() {
    if (const auto lists = hooks_.chooseWordLists(this, buttonFiles(*this, control_id::kWordLists))) {
        setButtonFiles(*this, control_id::kWordLists, *lists);
    }
}

// Disabling a path field keeps its text: "File" brings the same path back.
void MainDialog::onSourceClipboard() {
    enableControl(*this, control_id::kSourcePath, false);
    enableControl(*this, control_id::kBrowseSource, false);
}

void MainDialog::onSourceFile() {
    enableControl(*this, control_id::kSourcePath, true);
    enableControl(*this, control_id::kBrowseSource, true);
}

void MainDialog::onDestinationClipboard() {
    enableControl(*this, control_id::kDestinationPath, false);
    enableControl(*this, control_id::kBrowseDestination, false);
}

void MainDialog::onDestinationFile() {
    enableControl(*this, control_id::kDestinationPath, true);
    enableControl(*this, control_id::kBrowseDestination, true);
}

void MainDialog::onOutputEncoding() {
    enableControl(*this, control_id::kOutputForm,
                  selectedPosition(*this, control_id::kOutputEncoding) == kOutputUtf8Item);
}

// Without a browser the page is shown in the program itself.
void MainDialog::onHelp() {
    const std::optional<QUrl> page = helpPageUrl(kTemplateId);
    if (!page) {
        showError(QObject::tr("Failed to launch help."));
    } else if (!hooks_.openHelp(*page)) {
        showHelpWindow(*this, *page);
    }
}

void MainDialog::onSysCommand(unsigned id) {
    // Every other system command is the window manager's own business.
    if ((id & 0xFFF0) == kAboutCommand) hooks_.showAbout(this);
}

// The first Tab stop has the focus from the start, and shows it as the
// keyboard would have left it: Return presses that button. (Showing the
// window clears the mark of a keyboard focus.)
void MainDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    setAttribute(Qt::WA_KeyboardFocusChange);
}

// Return runs Format wherever the focus is, except on a push button, which
// takes Return as a press of its own, and in the output pane, which keeps it.
// (No button is auto-default, so a focused one passes Return on to here.)
void MainDialog::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
            button->click();
        } else if (focusWidget() != control(control_id::kOutputPane)) {
            onFormat();
        }
        return;
    }
    QDialog::keyPressEvent(event);
}

// The desktop's window menu cannot be extended here, so the About item is
// offered on the dialog's own background instead.
void MainDialog::contextMenuEvent(QContextMenuEvent* event) {
    const QString aboutItem = loadString(kAboutMenuString);
    if (aboutItem.isEmpty()) return;
    QMenu menu(this);
    const QAction* about = menu.addAction(aboutItem);
    if (menu.exec(event->globalPos()) == about) onSysCommand(kAboutCommand);
}

void MainDialog::showError(const QString& text) {
    showStatus(*this, text);
    hooks_.showMessage(this, QObject::tr("Error"), text, QMessageBox::NoIcon);
}

}  // namespace quillon
