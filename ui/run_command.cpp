// The run command: the dialog's choices reduced to two files, the engine run
// between them, and what the user sees of the result.
#include <QFile>

#include "control_ids.h"
#include "dialog_controls.h"
#include "main_dialog.h"
#include "messages.h"

namespace quillon {

void MainDialog::runCommand(RunKind kind) {
    if (!formatter || !formatter->hasBuffers()) {
        showError(QStringLiteral("Out of memory: the text engine could not be started."));
        return;
    }
    applyOptions();

    const QString source = dialogItemText(*this, control_id::kSourcePath);
    if (source.isEmpty()) {
        showError(QStringLiteral("No source filename is given."));
        return;
    }
    const QString destination = dialogItemText(*this, control_id::kDestinationPath);
    if (destination.isEmpty()) {
        showError(QStringLiteral("No destination filename is given."));
        return;
    }

    const QByteArray sourceName = QFile::encodeName(source);
    const QByteArray destinationName = QFile::encodeName(destination);
    const RunResult result = kind == RunKind::Convert
                                 ? formatter->convertFile(sourceName.constData(), destinationName.constData())
                                 : formatter->formatFile(sourceName.constData(), destinationName.constData());
    if (isError(result) || (isWarning(result) && !isButtonChecked(*this, control_id::kQuietMode))) {
        showResultMessage(result);
    }
}

}  // namespace quillon
