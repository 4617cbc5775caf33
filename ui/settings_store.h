#pragma once

#include <QString>
#include <QtGlobal>

#include "font_setting.h"

namespace quillon {

// Every value the dialog keeps from one start to the next, with its default.
// Numbers are stored as the dialog shows them; radio and box positions are not
// range-checked here.
struct StoredSettings {
    qint32 srcFromFile = 1;  // 0 = clipboard
    qint32 detFromFile = 1;
    QString srcFile;
    QString detFile;
    qint32 lineChars = 38;
    qint32 lineSpacing = 1;
    qint32 leadingSpaces = 2;
    qint32 leftMargin = 0;
    qint32 transEnglishPunc = 1;
    qint32 autoFix = 1;
    qint32 naturalSyntax = 0;
    qint32 html = 0;
    qint32 quiet = 0;
    qint32 phrases = 0;
    qint32 headingAlignment = 1;  // position in its radio group
    qint32 paragraph = 0;         // position in its radio group
    qint32 encoding = 0;          // position in the source encoding box
    qint32 outputEncoding = 0;    // position in the output encoding box
    FontSetting gbkFont{QStringLiteral("SimSun"), 100, 0, kGb2312CharSet};
    FontSetting big5Font{QStringLiteral("PMingLiu"), 100, 0, kChineseBig5CharSet};

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

private:
    QString explicitFile_;  // from QUILLON_SETTINGS; empty when unset
    QString fileName_;
};

}  // namespace quillon
