#include "interface_language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace quillon {
namespace {

QString& chosenLanguage() {
    static QString language;
    return language;
}

bool install(QTranslator* translator, bool loaded) {
    if (loaded) return QCoreApplication::installTranslator(translator);
    delete translator;
    return false;
}

}  // namespace

void installInterfaceTranslation() {
    auto* own = new QTranslator(QCoreApplication::instance());
    // Tries quillon_zh_TW, then quillon_zh, for a locale zh_TW.
    const bool loaded =
        own->load(QLocale(), QStringLiteral("quillon"), QStringLiteral("_"), QStringLiteral(":/translations"));
    const QString language = loaded ? own->language() : QString();
    if (!install(own, loaded)) return;
    chosenLanguage() = language;
    // File and font dialogs, message box buttons: Qt's own texts, from the
    // translations Qt installs beside itself.
    auto* qt = new QTranslator(QCoreApplication::instance());
    install(qt, qt->load(QStringLiteral("qtbase_") + language, QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
}

QString interfaceLanguage() { return chosenLanguage(); }

}  // namespace quillon
