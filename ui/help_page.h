#pragma once

#include <QString>
#include <QUrl>

#include <optional>

namespace quillon {

// The help page of the program at `programPath`: beside it, with the
// program's name and the extension ".html" (a build tree), else in the
// program's data folder of the tree it is installed in. Nothing when the page
// is in neither place. In a `language` other than English ("zh_CN") the page
// of that language, named with "_zh_CN" after the program's name, comes first.
std::optional<QString> helpPageFile(const QString& programPath, const QString& language = QString());

// This program's help page, in the interface language, at the topic of
// dialog `templateId`.
std::optional<QUrl> helpPageUrl(int templateId);

}  // namespace quillon
