// A file dropped on the window, the source field included, or named when the
// program starts, becomes the source.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>

#include <optional>

#include "control_ids.h"
#include "dialog_controls.h"
#include "main_dialog.h"

namespace quillon {
namespace {

// The one local file a drag carries, or nothing.
std::optional<QString> droppedFile(const QMimeData* data) {
    if (!data || !data->hasUrls() || data->urls().size() != 1) return std::nullopt;
    const QUrl url = data->urls().front();
    if (!url.isLocalFile()) return std::nullopt;
    return url.toLocalFile();
}

}  // namespace

void MainDialog::acceptFileDrops() {
    setAcceptDrops(true);
    // The fields would take a dropped file as text; the window takes it instead.
    for (QLineEdit* field : findChildren<QLineEdit*>()) field->setAcceptDrops(false);
}

void MainDialog::dragEnterEvent(QDragEnterEvent* event) {
    if (!running_ && droppedFile(event->mimeData())) event->acceptProposedAction();
}

void MainDialog::dropEvent(QDropEvent* event) {
    const std::optional<QString> path = droppedFile(event->mimeData());
    if (running_ || !path) return;
    useSourceFile(*path);
    event->acceptProposedAction();
}

void MainDialog::useSourceFile(const QString& path) {
    setDialogItemText(*this, control_id::kSourcePath, path);
    checkRadioPosition(*this, control_id::kSourceClipboard, control_id::kSourceFile, 1);
    onSourceFile();
}

}  // namespace quillon
