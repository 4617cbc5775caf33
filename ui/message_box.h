#pragma once

#include <QMessageBox>
#include <QString>

#include <memory>

class QWidget;

namespace quillon {

// A box with an OK button whose text is shown as it is, can be selected, and
// is copied whole with the Copy key (Ctrl+C) when none of it is selected, so
// that it can go into a bug report.
std::unique_ptr<QMessageBox> makeMessageBox(QWidget* owner, const QString& caption, const QString& text,
                                            QMessageBox::Icon icon);

}  // namespace quillon
