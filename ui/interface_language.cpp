#include "interface_language.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

namespace quillon {

void installInterfaceTranslation() {
    auto* translator = new QTranslator(QCoreApplication::instance());
    // Tries quillon_zh_TW, then quillon_zh, for a locale zh_TW.
    if (translator->load(QLocale(), QStringLiteral("quillon"), QStringLiteral("_"), QStringLiteral(":/translations"))) {
        QCoreApplication::installTranslator(translator);
    } else {
        delete translator;
    }
}

}  // namespace quillon
