#include "about_dialog.h"

#include <QPushButton>

#include "dialog_builder.h"
#include "program_icon.h"

namespace quillon {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    buildDialog(*this, loadDialogTemplate(kTemplateId), programIcon());
    auto* ok = qobject_cast<QPushButton*>(dialogControl(*this, 1));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace quillon
