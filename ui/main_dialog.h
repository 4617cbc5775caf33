#pragma once

#include <QDialog>
#include <QIcon>

#include <optional>

#include "dialog_hooks.h"
#include "engine_process.h"
#include "font_setting.h"
#include "run_kind.h"
#include "run_summary.h"
#include "settings_store.h"

class QPlainTextEdit;

namespace quillon {

// The program's one working window: source and destination, their encodings,
// the layout options, Convert and Format, and the output pane.
class MainDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 102;
    // The system command that opens the About box; its low four bits are free.
    static constexpr unsigned kAboutCommand = 16;
    // Opens the About box too; the help page names it.
    static constexpr QKeyCombination kAboutShortcut{Qt::AltModifier, Qt::Key_A};

    explicit MainDialog(DialogHooks hooks = DialogHooks::platform());
    ~MainDialog() override;

    // The control with that id, or null.
    QWidget* control(int id) const;

    // --- Handlers ---
    void onFormat();
    void onConvert();
    void onCancel();
    void onBrowseSource();
    void onBrowseDestination();
    void onSourceClipboard();
    void onSourceFile();
    void onDestinationClipboard();
    void onDestinationFile();
    // The form box counts only for UTF-8 output, and is usable only then.
    void onOutputEncoding();
    void onHelp();
    void onGbkFont();
    void onBig5Font();
    void onWordLists();
    void onSysCommand(unsigned id);
    // Makes `path` the source file and checks "File".
    void useSourceFile(const QString& path);
    // The same for the source (kSourcePath) or destination (kDestinationPath) field.
    void useFile(int pathField, const QString& path);

    // Every option of a run, as the controls show them, in the library's
    // words. Each run takes its own: nothing keeps options between runs.
    api::Options runOptions() const;
    void runCommand(RunKind kind);

    // The stored values the controls show; the fonts and the window keep
    // their defaults.
    StoredSettings shownSettings() const;
    // Fills the controls and fonts from the store, and saves them back.
    void loadSettings();
    void saveSettings();

    // Shows the file at `path`, a run's `output`, in the output pane, in the
    // font of its script; text of no script (plain ASCII, or none told)
    // leaves the pane alone. Returns how much of the file the pane shows;
    // none when it was left alone.
    std::optional<PaneExtent> showOutput(const QString& path, const RunText& output);
    void applyFont(const FontSetting& font);

    // Public for the tests, which look at what a run or a start left.
    QIcon icon;
    EngineProcess::Report lastRun;  // what the last run that reported told
    std::optional<SettingsStore> settingsKey;  // open from loading to saving
    FontSetting gbkFont;
    FontSetting big5Font;
    const FontSetting* displayFont = nullptr;  // what the pane was last set to

    // Escape and the close box arrive here; they end a run under way first.
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void onInitDialog();
    void onDestroy();
    void connectHandlers();
    void acceptFileDrops();
    // Whether a drag carries one file the dialog takes now; accepts it as a copy if so.
    bool takeAsCopy(QDropEvent* event) const;
    // The first start's window: the template's size, within the screen.
    void fitToScreen();
    // A box owned by the dialog, captioned "Error", without an icon; the
    // status line says the same.
    void showError(const QString& text);
    enum class ReplacedIn { ClipboardText, Output };
    void warnOfReplacedCharacters(qsizetype count, ReplacedIn where);
    // The font chooser for `font`; the pane follows when it shows that font.
    void chooseFont(FontSetting& font);

    DialogHooks hooks_;
    bool running_ = false;  // a run command is under way
    EngineProcess* currentRun_ = nullptr;  // the engine run it waits for
};

}  // namespace quillon
