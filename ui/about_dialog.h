#pragma once

#include <QDialog>

namespace quillon {

// The About box: the program's name, version and a notice, closed by OK,
// Return, Escape or its close box.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 100;
    explicit AboutDialog(QWidget* parent = nullptr);
};

}  // namespace quillon
