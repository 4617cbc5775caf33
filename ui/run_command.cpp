// The run command: the dialog's choices reduced to two files, the engine run
// between them, and what the user sees of the result.
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QScopedValueRollback>

#include <optional>

#include "clipboard_text.h"
#include "control_ids.h"
#include "dialog_controls.h"
#include "engine_process.h"
#include "main_dialog.h"
#include "messages.h"
#include "run_progress.h"
#include "run_refusals.h"
#include "run_summary.h"
#include "same_file.h"
#include "status_line.h"
#include "temporary_file.h"

namespace quillon {

// Characters lost between the clipboard's Unicode text and a code page are
// reported as the engine reports its own replacements: unless Quiet Mode is
// checked.
void MainDialog::warnOfReplacedCharacters(qsizetype count, const QString& what) {
    if (count == 0 || isButtonChecked(*this, control_id::kQuietMode)) return;
    const bool one = count == 1;
    hooks_.showMessage(this, QStringLiteral("Warning"),
                       QStringLiteral("Warning: %1 %2 of %3 could not be converted and %4 replaced.")
                           .arg(count)
                           .arg(one ? QStringLiteral("character") : QStringLiteral("characters"), what,
                                one ? QStringLiteral("was") : QStringLiteral("were")),
                       QMessageBox::Warning);
}

void MainDialog::runCommand(RunKind kind) {
    using namespace control_id;
    // One run at a time: Return and the buttons reach here during a run only
    // through the event loop that waits for it.
    if (running_) return;
    const QScopedValueRollback running(running_, true);
    if (!formatter || !formatter->hasBuffers()) {
        showError(QStringLiteral("Out of memory: the text engine could not be started."));
        return;
    }
    applyOptions();
    if (const auto refusal = charsPerLineRefusal(dialogItemInt(*this, kCharsPerLine))) {
        showError(*refusal);
        return;
    }

    // Whatever way the command ends, its temporary files go with it (the
    // source's first: members are destroyed in reverse order).
    std::optional<TemporaryFile> destinationTemporary;
    std::optional<TemporaryFile> sourceTemporary;

    QString source;
    if (isButtonChecked(*this, kSourceClipboard)) {
        const std::optional<EncodedText> text = readClipboardBytes(formatter->sourceEncoding());
        if (!text) {
            showError(QStringLiteral("Fail to copy from clipboard"));
            return;
        }
        warnOfReplacedCharacters(text->replacedCount, QStringLiteral("the clipboard text"));
        sourceTemporary.emplace();
        if (!sourceTemporary->isValid() || !sourceTemporary->write(text->bytes)) {
            showError(sourceTemporary->errorString());
            return;
        }
        source = sourceTemporary->path();
    } else {
        source = dialogItemText(*this, kSourcePath);
        if (source.isEmpty()) {
            showError(QStringLiteral("No source filename is given."));
            return;
        }
        if (const auto refusal = sourceFileRefusal(source)) {
            showError(*refusal);
            return;
        }
    }

    QString destination;
    if (isButtonChecked(*this, kDestinationClipboard)) {
        destinationTemporary.emplace();
        if (!destinationTemporary->isValid()) {
            showError(destinationTemporary->errorString());
            return;
        }
        destination = destinationTemporary->path();
    } else {
        destination = dialogItemText(*this, kDestinationPath);
        if (destination.isEmpty()) {
            showError(QStringLiteral("No destination filename is given."));
            return;
        }
    }

    // The engine empties the destination before it reads the source.
    if (isSameFile(QFile::encodeName(source).constData(),
                   QFile::encodeName(destination).constData())) {
        showError(QStringLiteral("The source and the destination are the same file."));
        return;
    }

    QElapsedTimer clock;
    clock.start();
    EngineProcess run(*formatter, kind, source, destination);
    const QScopedValueRollback current(currentRun_, &run);
    const EngineProcess::Outcome& outcome =
        waitForRun(*this, run, kind == RunKind::Convert ? QObject::tr("Converting…") : QObject::tr("Formatting…"));
    if (outcome.cancelled) {
        showStatus(*this, QObject::tr("Cancelled"));
        return;
    }
    if (outcome.failed) {
        showError(QObject::tr("The run ended unexpectedly; the destination may be incomplete."));
        return;
    }
    const RunResult result = outcome.result;
    RunSummary summary;
    summary.result = result;
    summary.elapsedMilliseconds = clock.elapsed();
    summary.sourceProfileId = outcome.sourceProfileId;
    summary.targetProfileId = outcome.targetProfileId;
    summary.outputBytes = QFileInfo(destination).size();
    showStatus(*this, describeRun(summary));
    if (isError(result) || (isWarning(result) && !isButtonChecked(*this, kQuietMode))) {
        showResultMessage(result);
    }
    if (result != kSuccess && !isWarning(result)) return;

    const qint32 target = formatter->targetProfileId();
    if (destinationTemporary) {
        const PasteResult pasted = pasteFileToClipboard(destination, target);
        if (pasted.status == PasteStatus::FileUnreadable) {
            showError(QStringLiteral("Unable to read the output back from %1.").arg(destination));
        } else if (pasted.status == PasteStatus::ClipboardRefused) {
            showError(QStringLiteral("Fail to paste to clipboard."));
        } else {
            warnOfReplacedCharacters(pasted.replacedCount, QStringLiteral("the output"));
        }
    }
    summary.pane = showOutput(destination, target);
    showStatus(*this, describeRun(summary));
}

}  // namespace quillon
