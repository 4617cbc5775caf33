#pragma once

#include <QIcon>

namespace quillon {

// The program icon, icon resource 128, at 16 × 16 and 32 × 32.
QIcon programIcon();

}  // namespace quillon
