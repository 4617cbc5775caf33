// A file dropped on the destination field becomes the destination; dropped
// anywhere else on the window, the source field included, or named when the
// program starts, it becomes the source. A drop is always a copy: the file
// stays where it is.
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

bool MainDialog::takeAsCopy(QDropEvent* event) const {
    if (running_ || !droppedFile(event->mimeData()) || !(event->possibleActions() & Qt::CopyAction)) return false;
    event->setDropAction(Qt::CopyAction);
    event->accept();
    return true;
}

void MainDialog::dragEnterEvent(QDragEnterEvent* event) { takeAsCopy(event); }

// Each move proposes the source's action afresh.
void MainDialog::dragMoveEvent(QDragMoveEvent* event) { takeAsCopy(event); }

void MainDialog::dropEvent(QDropEvent* event) {
    if (!takeAsCopy(event)) return;
    const bool onDestination =
        control(control_id::kDestinationPath)->geometry().contains(event->position().toPoint());
    useFile(onDestination ? control_id::kDestinationPath : control_id::kSourcePath, *droppedFile(event->mimeData()));
}

void MainDialog::useSourceFile(const QString& path) { useFile(control_id::kSourcePath, path); }

void MainDialog::useFile(int pathField, const QString& path) {
    using namespace control_id;
    const bool source = pathField == kSourcePath;
    setDialogItemText(*this, pathField, path);
    checkRadioPosition(*this, source ? kSourceClipboard : kDestinationClipboard, source ? kSourceFile : kDestinationFile, 1);
    if (source) {
        onSourceFile();
    } else {
        onDestinationFile();
    }
}

}  // namespace quillon
