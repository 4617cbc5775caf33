#include "settings_store.h"

#include <QSettings>
#include <memory>

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

private:
    const QSettings& settings_;
};

// Without an explicit file, QSettings reads the user's file first and falls
// back to the machine-wide one; it writes only the user's.
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
    in.read("SrcFromFile", s.srcFromFile);
    in.read("DetFromFile", s.detFromFile);
    in.read("SrcFile", s.srcFile);
    in.read("DetFile", s.detFile);
    in.read("LineChars", s.lineChars);
    in.read("LineSpacing", s.lineSpacing);
    in.read("LeadingSpaces", s.leadingSpaces);
    in.read("LeftMargin", s.leftMargin);
    in.read("TransEnglishPunc", s.transEnglishPunc);
    in.read("AutoFix", s.autoFix);
    in.read("NaturalSyntax", s.naturalSyntax);
    in.read("HTML", s.html);
    in.read("Quiet", s.quiet);
    in.read("Phrases", s.phrases);
    in.read("HeadingAlignment", s.headingAlignment);
    in.read("paragraph", s.paragraph);
    in.read("encoding", s.encoding);
    in.read("OutputEncoding", s.outputEncoding);
    in.read("GbkFontName", s.gbkFont.faceName);
    in.read("GbkFontSize", s.gbkFont.size);
    in.read("GbkFontEffects", s.gbkFont.effects);
    in.read("GbkFontCharSet", s.gbkFont.charSet);
    in.read("Big5FontName", s.big5Font.faceName);
    in.read("Big5FontSize", s.big5Font.size);
    in.read("Big5FontEffects", s.big5Font.effects);
    in.read("Big5FontCharSet", s.big5Font.charSet);
    return s;
}

bool SettingsStore::save(const StoredSettings& s) const {
    const std::unique_ptr<QSettings> settings = openSettings(explicitFile_);
    const auto write = [&](const char* name, const auto& value) {
        settings->setValue(QLatin1String(name), value);
    };
    write("SrcFile", s.srcFile);
    write("DetFile", s.detFile);
    write("LineChars", s.lineChars);
    write("LineSpacing", s.lineSpacing);
    write("LeadingSpaces", s.leadingSpaces);
    write("LeftMargin", s.leftMargin);
    write("SrcFromFile", s.srcFromFile);
    write("DetFromFile", s.detFromFile);
    write("TransEnglishPunc", s.transEnglishPunc);
    write("AutoFix", s.autoFix);
    write("NaturalSyntax", s.naturalSyntax);
    write("HTML", s.html);
    write("Quiet", s.quiet);
    write("Phrases", s.phrases);
    write("encoding", s.encoding);
    write("OutputEncoding", s.outputEncoding);
    write("paragraph", s.paragraph);
    write("HeadingAlignment", s.headingAlignment);
    write("GbkFontName", s.gbkFont.faceName);
    write("GbkFontSize", s.gbkFont.size);
    write("GbkFontEffects", s.gbkFont.effects);
    write("GbkFontCharSet", s.gbkFont.charSet);
    write("Big5FontName", s.big5Font.faceName);
    write("Big5FontSize", s.big5Font.size);
    write("Big5FontEffects", s.big5Font.effects);
    write("Big5FontCharSet", s.big5Font.charSet);
    settings->sync();
    return settings->status() == QSettings::NoError;
}

}  // namespace quillon
