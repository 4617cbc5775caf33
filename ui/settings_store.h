#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include "font_setting.h"
#include "run_choices.h"

namespace quillon {

// Every value the dialog keeps from one start to the next, with its default.
// Names and controls: settings_table.h.
struct StoredSettings {
    qint32 srcFromFile = 1;  // 0 = clipboard
    qint32 detFromFile = 1;
    QString srcFile;
    QString detFile;
    QString headingPattern;
    QStringList wordLists;   // the user's own, read in this order by runs that choose by phrase
    // As the dialog shows them: radio and box positions are not
    // range-checked here.
    RunChoices run = firstStartChoices();
    FontSetting gbkFont{QStringLiteral("SimSun"), 100, 0, kGb2312CharSet};
    FontSetting big5Font{QStringLiteral("PMingLiu"), 100, 0, kChineseBig5CharSet};
    // The window's size, place and maximised state as Qt saves them, in
    // Base64; empty at the first start.
    QString windowGeometry;

    bool operator==(const StoredSettings&) const = default;
};

// The INI file the settings live in: the file named by QUILLON_SETTINGS when
// that variable is set, otherwise the user's own Quillon file, with the
// machine-wide Quillon file supplying what the user's file lacks.
class SettingsStore {
public:
    SettingsStore();

    // The stored values; a value that is missing or not a number keeps its
    // default. Never fails: an unreadable store gives the defaults.
    StoredSettings load() const;

    // Writes every value to the user's file (or QUILLON_SETTINGS). False when
    // the file could not be written; nothing is shown.
    bool save(const StoredSettings& settings) const;

    // Where save() writes.
    QString fileName() const { return fileName_; }

    // Why save() cannot write the file (an errno), 0 when it can.
    int writeError() const;

private:
    QString explicitFile_;  // from QUILLON_SETTINGS; empty when unset
    QString fileName_;
};

}  // namespace quillon
