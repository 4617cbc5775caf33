#include "program_icon.h"

namespace quillon {

QIcon programIcon() {
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/quillon-16.png"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/icons/quillon-32.png"), QSize(32, 32));
    return icon;
}

}  // namespace quillon
