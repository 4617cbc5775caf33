#pragma once

#include <QUrl>

#include <optional>

namespace quillon {

// The help page beside the program (its own path with the extension ".html"),
// at the topic of dialog `templateId`; nothing when the page is not there.
std::optional<QUrl> helpPageUrl(int templateId);

}  // namespace quillon
