#pragma once

#include <QString>

namespace quillon {

// The text of string resource `id`, or an empty text when there is none.
QString loadString(int id);

}  // namespace quillon
