#pragma once

#include <QTemporaryDir>

// Points the settings store at a file of its own that does not exist yet, so
// each test starts as a first start and leaves nothing for the next.
class FreshSettings {
public:
    FreshSettings() { qputenv("QUILLON_SETTINGS", path().toLocal8Bit()); }
    QString path() const { return dir_.filePath(QStringLiteral("quillon.ini")); }

private:
    QTemporaryDir dir_;
};
