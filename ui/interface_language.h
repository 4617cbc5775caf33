#pragma once

namespace quillon {

// Installs the translation of the interface for the user's locale (Chinese,
// simplified or traditional) when there is one; English, the language of the
// sources, stays otherwise. Needs a QCoreApplication.
void installInterfaceTranslation();

}  // namespace quillon
