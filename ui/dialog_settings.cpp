// The dialog's side of the settings: every control shows its stored value.
#include <QScreen>
#include <QStyle>

#include <functional>

#include "main_dialog.h"
#include "setting_controls.h"
#include "status_line.h"

namespace quillon {

void MainDialog::loadSettings() {
    settingsKey.emplace();
    const StoredSettings s = settingsKey->load();
    gbkFont = s.gbkFont;
    big5Font = s.big5Font;
    displayFont = nullptr;

    forEachSetting([&](const char*, auto field, const SettingControl& control) {
        showInControl(*this, control, std::invoke(field, s));
    });

    if (s.srcFromFile == 0) onSourceClipboard();
    if (s.detFromFile == 0) onDestinationClipboard();
    if (!restoreGeometry(QByteArray::fromBase64(s.windowGeometry.toLatin1()))) fitToScreen();
    showStatus(*this, describeSettingsFile(settingsKey->fileName(), settingsKey->writeError()));
}

// Paths are kept whole, however long. An empty radio group or encoding box
// is stored as -1, so the next start shows it empty again.
void MainDialog::saveSettings() {
    StoredSettings s = shownSettings();
    s.gbkFont = gbkFont;
    s.big5Font = big5Font;
    s.windowGeometry = QString::fromLatin1(saveGeometry().toBase64());
    // A store that cannot be written loses this session's changes: the
    // status line said so at the start, and the window is going now.
    settingsKey->save(s);
}

// The window frame is not known before the window is shown; a title bar's
// height stands for it.
void MainDialog::fitToScreen() {
    const QRect screenArea = screen()->availableGeometry();
    const QSize frame(0, style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this));
    resize(size().boundedTo(screenArea.size() - frame).expandedTo(minimumSizeHint()));
}

}  // namespace quillon
