#pragma once

#include <QString>

namespace quillon {

// Installs the translation of the interface for the user's locale (Chinese,
// simplified or traditional) when there is one, with Qt's own translation of
// its dialogs and buttons in the same language; English, the language of the
// sources, stays otherwise. Needs a QCoreApplication.
void installInterfaceTranslation();

// The language installInterfaceTranslation() chose, as the translation names it
// ("zh_CN", "zh_TW"); empty for English.
QString interfaceLanguage();

}  // namespace quillon
