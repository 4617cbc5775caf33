#include "settings_store.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <cerrno>
#include <functional>
#include <memory>

#include <unistd.h>

#include "settings_table.h"

namespace quillon {
namespace {

constexpr char kEnvironmentVariable[] = "QUILLON_SETTINGS";
constexpr char kName[] = "Quillon";

class Reader {
public:
    explicit Reader(const QSettings& settings) : settings_(settings) {}

    void read(const char* name, qint32& value) const {
        bool ok = false;
        const qint32 stored = settings_.value(QLatin1String(name)).toInt(&ok);
        if (ok) value = stored;
    }
    void read(const char* name, QString& value) const {
        const QVariant stored = settings_.value(QLatin1String(name));
        if (stored.isValid()) value = stored.toString();
    }
    void read(const char* name, QStringList& value) const {
        const QVariant stored = settings_.value(QLatin1String(name));
        if (stored.isValid()) value = stored.toStringList();
    }

private:
    const QSettings& settings_;
};

// Without an explicit file, QSettings reads the user's file first and falls
// back to the machine-wide one; it writes only the user's.
bool isWritable(const QFileInfo& path) { return ::access(QFile::encodeName(path.absoluteFilePath()).constData(), W_OK) == 0; }

std::unique_ptr<QSettings> openSettings(const QString& explicitFile) {
    if (!explicitFile.isEmpty())
        return std::make_unique<QSettings>(explicitFile, QSettings::IniFormat);
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, kName, kName);
}

}  // namespace

SettingsStore::SettingsStore() : explicitFile_(qEnvironmentVariable(kEnvironmentVariable)) {
    fileName_ = explicitFile_.isEmpty()
                    ? QSettings(QSettings::IniFormat, QSettings::UserScope, kName, kName).fileName()
                    : explicitFile_;
}

StoredSettings SettingsStore::load() const {
    const std::unique_ptr<QSettings> settings = openSettings(explicitFile_);
    const Reader in(*settings);
    StoredSettings s;
    forEachSetting([&](const char* name, auto field, const SettingControl&) {
        in.read(name, std::invoke(field, s));
    });
    return s;
}

int SettingsStore::writeError() const {
    const QFileInfo file(fileName_);
    if (file.isDir()) return EISDIR;
    if (file.exists() && !isWritable(file)) return errno;
    // QSettings writes through a new file and a lock file beside the file,
    // making the folders it lacks.
    QFileInfo folder(file.absolutePath());
    while (!folder.exists()) folder = QFileInfo(folder.absolutePath());
    if (!folder.isDir()) return ENOTDIR;
    return isWritable(folder) ? 0 : errno;
}

bool SettingsStore::save(const StoredSettings& s) const {
    const std::unique_ptr<QSettings> settings = openSettings(explicitFile_);
    forEachSetting([&](const char* name, auto field, const SettingControl&) {
        settings->setValue(QLatin1String(name), std::invoke(field, s));
    });
    settings->sync();
    return settings->status() == QSettings::NoError;
}

}  // namespace quillon
