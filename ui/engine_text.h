#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace quillon {

// The engine's and the edge's texts are English; the interface language may
// translate them (the translations list them under QObject).
QString engineText(std::string_view english);

// The same, as the library's wording functions take it (api::Translate).
std::string translatedEngineText(std::string_view english);

}  // namespace quillon
