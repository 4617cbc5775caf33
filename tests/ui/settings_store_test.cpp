#include "settings_store.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

using quillon::SettingsStore;
using quillon::StoredSettings;

namespace {

void writeText(const QString& path, const QByteArray& text) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

QByteArray readText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every value away from its default; the positions out of their groups' range.
StoredSettings unusualSettings() {
    StoredSettings s;
    s.srcFromFile = 0;
    s.detFromFile = 0;
    s.srcFile = "/home/用户/Documents, old; \"quoted\" \\ [notes] =x" + QString(154, 'p');
    s.detFile = "relative/out.txt";
    s.run.charsPerLine = -1;
    s.run.lineSpacing = 0;
    s.run.leadingSpaces = -2147483647 - 1;
    s.run.leftMargin = 2147483647;
    s.run.fullWidthSpaces = 0;
    s.run.autoFix = 0;
    s.run.naturalSyntax = 1;
    s.run.htmlAware = 1;
    s.run.quiet = 1;
    s.run.phraseChoice = 0;
    s.run.headingAlignment = 7;
    s.run.paragraphMode = -1;
    s.run.sourceEncoding = -1;
    s.run.outputEncoding = 3;
    s.gbkFont = {"A Face Name Of Exactly Forty Characters.", 105, 3, 0};
    s.big5Font = {"Noto Sans CJK TC", 240, 2, 136};
    return s;
}

}  // namespace

class SettingsStoreTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        qputenv("QUILLON_SETTINGS", settingsPath().toUtf8());
    }

    void firstStartGivesTheDefaults() {
        const StoredSettings s = SettingsStore().load();
        QCOMPARE(s.srcFromFile, 1);
        QCOMPARE(s.detFromFile, 1);
        QCOMPARE(s.srcFile, QString());
        QCOMPARE(s.detFile, QString());
        QCOMPARE(s.run.charsPerLine, 38);
        QCOMPARE(s.run.lineSpacing, 1);
        QCOMPARE(s.run.leadingSpaces, 2);
        QCOMPARE(s.run.leftMargin, 0);
        QCOMPARE(s.run.fullWidthSpaces, 1);
        QCOMPARE(s.run.autoFix, 1);
        QCOMPARE(s.run.naturalSyntax, 0);
        QCOMPARE(s.run.htmlAware, 0);
        QCOMPARE(s.run.quiet, 0);
        QCOMPARE(s.run.phraseChoice, 1);
        QCOMPARE(s.run.headingAlignment, 1);
        QCOMPARE(s.run.paragraphMode, 0);
        QCOMPARE(s.run.sourceEncoding, 0);
        QCOMPARE(s.run.outputEncoding, 0);
        QVERIFY(s.gbkFont == (quillon::FontSetting{"SimSun", 100, 0, 134}));
        QVERIFY(s.big5Font == (quillon::FontSetting{"PMingLiu", 100, 0, 136}));
        QVERIFY(!QFile::exists(settingsPath()));  // loading writes nothing
    }

    void everyValueSurvivesARoundTrip() {
        const StoredSettings saved = unusualSettings();
        QCOMPARE(saved.srcFile.size(), 200);
        QVERIFY(SettingsStore().save(saved));
        QCOMPARE(SettingsStore().fileName(), settingsPath());
        const StoredSettings loaded = SettingsStore().load();
        QCOMPARE(loaded.srcFile, saved.srcFile);
        QCOMPARE(loaded.gbkFont.faceName, saved.gbkFont.faceName);
        QCOMPARE(loaded.run.leadingSpaces, saved.run.leadingSpaces);
        QVERIFY(loaded == saved);

        QVERIFY(SettingsStore().save(StoredSettings{}));
        QVERIFY(SettingsStore().load() == StoredSettings{});
    }

    // Other tools and people read the file: the names are exact and numbers plain.
    void theFileUsesTheValueNamesAsTheyAre() {
        QVERIFY(SettingsStore().save(unusualSettings()));
        const QByteArray text = readText(settingsPath());
        const char* const lines[] = {"SrcFromFile=0",
                                     "DetFromFile=0",
                                     "DetFile=relative/out.txt",
                                     "LineChars=-1",
                                     "LineSpacing=0",
                                     "LeadingSpaces=-2147483648",
                                     "LeftMargin=2147483647",
                                     "TransEnglishPunc=0",
                                     "AutoFix=0",
                                     "NaturalSyntax=1",
                                     "HTML=1",
                                     "Quiet=1",
                                     "HeadingAlignment=7",
                                     "paragraph=-1",
                                     "encoding=-1",
                                     "OutputEncoding=3",
                                     "GbkFontSize=105",
                                     "GbkFontEffects=3",
                                     "GbkFontCharSet=0",
                                     "Big5FontName=Noto Sans CJK TC",
                                     "Big5FontSize=240",
                                     "Big5FontEffects=2",
                                     "Big5FontCharSet=136"};
        for (const char* line : lines)
            QVERIFY2(text.contains(QByteArray("\n") + line + "\n"), line);
        QVERIFY(text.contains("\nGbkFontName=A Face Name Of Exactly Forty Characters.\n"));
        QVERIFY(text.contains("\nSrcFile="));
        QVERIFY(text.startsWith("[General]\n"));
        QCOMPARE(text.count('['), 1 + 1);  // the one section and the "[notes]" in the path
    }

    void unreadableNumbersKeepTheirDefaults() {
        writeText(settingsPath(),
                  "[General]\nLineChars=abc\nGbkFontSize=10.5\nLeftMargin=4294967296\n"
                  "LineSpacing=\nQuiet=7\nparagraph=12\nBig5FontName=\n");
        const StoredSettings s = SettingsStore().load();
        QCOMPARE(s.run.charsPerLine, 38);
        QCOMPARE(s.gbkFont.size, 100);
        QCOMPARE(s.run.leftMargin, 0);
        QCOMPARE(s.run.lineSpacing, 1);
        QCOMPARE(s.run.quiet, 7);
        QCOMPARE(s.run.paragraphMode, 12);
        QCOMPARE(s.big5Font.faceName, QString());  // stored empty is stored
    }

    void anUnwritableStoreLoadsDefaultsAndReportsTheFailedSave() {
        writeText(dir_->filePath("plain-file"), "not a folder");
        qputenv("QUILLON_SETTINGS", dir_->filePath("plain-file/settings.ini").toUtf8());
        QVERIFY(SettingsStore().load() == StoredSettings{});
        QVERIFY(!SettingsStore().save(unusualSettings()));
    }

    void theMachineWideFileSuppliesWhatTheUsersFileLacks() {
        qunsetenv("QUILLON_SETTINGS");
        const QString systemDir = dir_->filePath("system");
        const QString userDir = dir_->filePath("user");
        QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, systemDir);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, userDir);
        QVERIFY(QDir().mkpath(systemDir + "/Quillon"));
        QVERIFY(QDir().mkpath(userDir + "/Quillon"));
        const QByteArray machineWide = "[General]\nLineChars=50\nSrcFile=/srv/shared/in.txt\n";
        writeText(systemDir + "/Quillon/Quillon.ini", machineWide);
        writeText(userDir + "/Quillon/Quillon.ini", "[General]\nLineChars=60\n");

        SettingsStore store;
        QCOMPARE(store.fileName(), userDir + "/Quillon/Quillon.ini");
        StoredSettings s = store.load();
        QCOMPARE(s.run.charsPerLine, 60);
        QCOMPARE(s.srcFile, QString("/srv/shared/in.txt"));
        QCOMPARE(s.run.lineSpacing, 1);

        s.run.charsPerLine = 70;
        QVERIFY(store.save(s));
        QCOMPARE(readText(systemDir + "/Quillon/Quillon.ini"), machineWide);
        QVERIFY(readText(userDir + "/Quillon/Quillon.ini").contains("\nLineChars=70\n"));
        QCOMPARE(store.load().run.charsPerLine, 70);
    }

    // An ordinary user cannot create the machine-wide file; the
    // administrator's values still apply while the user's file cannot be made.
    void anUnwritableUserFileStillReadsTheMachineWideFile() {
        qunsetenv("QUILLON_SETTINGS");
        const QString systemDir = dir_->filePath("system");
        QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, systemDir);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                           dir_->filePath("plain-file"));
        writeText(dir_->filePath("plain-file"), "not a folder");
        QVERIFY(QDir().mkpath(systemDir + "/Quillon"));
        writeText(systemDir + "/Quillon/Quillon.ini", "[General]\nQuiet=1\n");

        QCOMPARE(SettingsStore().load().run.quiet, 1);
        QVERIFY(!SettingsStore().save(StoredSettings{}));
    }

private:
    QString settingsPath() const { return dir_->filePath("settings.ini"); }

    std::unique_ptr<QTemporaryDir> dir_;  // fresh for every test
};

QTEST_MAIN(SettingsStoreTest)
#include "settings_store_test.moc"
