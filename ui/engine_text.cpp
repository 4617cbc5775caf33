#include "engine_text.h"

#include <QObject>

namespace quillon {

QString engineText(std::string_view english) { return QObject::tr(std::string(english).c_str()); }

std::string translatedEngineText(std::string_view english) { return engineText(english).toStdString(); }

}  // namespace quillon
