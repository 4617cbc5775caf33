#include "status_line.h"

#include <QLabel>

#include "control_ids.h"
#include "dialog_builder.h"

namespace quillon {
namespace {

QLabel& statusLabel(const QWidget& dialog) {
    auto* label = qobject_cast<QLabel*>(dialogControl(dialog, control_id::kStatusLine));
    Q_ASSERT_X(label, "status line", "the dialog has no status line");
    return *label;
}

}  // namespace

void showStatus(QWidget& dialog, const QString& text) {
    QLabel& label = statusLabel(dialog);
    label.setToolTip(text);
    label.setText(label.fontMetrics().elidedText(text, Qt::ElideRight, label.width()));
}

QString statusText(const QWidget& dialog) { return statusLabel(dialog).toolTip(); }

}  // namespace quillon
