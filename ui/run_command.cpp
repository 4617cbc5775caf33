// The run command: the dialog's choices reduced to two files, the engine run
// between them, and what the user sees of the result.
#include <QFile>

#include <optional>

#include "clipboard_text.h"
#include "control_ids.h"
#include "dialog_controls.h"
#include "edge_run.h"
#include "encoding_positions.h"
#include "main_dialog.h"
#include "messages.h"
#include "same_file.h"
#include "temporary_file.h"

namespace quillon {
namespace {

RunResult runThroughEdge(TextFormatter& formatter, RunKind kind, const unicode::EdgeChoices& choices,
                         const QString& source, const QString& destination, unicode::EdgeOutput& output) {
    return unicode::runThroughEdge(
        formatter, kind == RunKind::Convert ? unicode::RunKind::Convert : unicode::RunKind::Format, choices,
        QFile::encodeName(source).constData(), QFile::encodeName(destination).constData(), &output);
}

bool isLegacyEncoding(qint32 sourceEncoding) {
    return sourceEncoding == kSourceGb || sourceEncoding == kSourceGbk || sourceEncoding == kSourceBig5;
}

}  // namespace

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
    if (!formatter || !formatter->hasBuffers()) {
        showError(QStringLiteral("Out of memory: the text engine could not be started."));
        return;
    }
    applyOptions();
    const unicode::EdgeChoices choices = edgeChoicesAt(selectedPosition(*this, kOutputEncoding));
    // Characters that a code page of the user's choosing lost on the way in or
    // out; reported only when the run itself reports nothing.
    qsizetype replacedInSource = 0;

    // Whatever way the command ends, its temporary files go with it (the
    // source's first: members are destroyed in reverse order).
    std::optional<TemporaryFile> destinationTemporary;
    std::optional<TemporaryFile> sourceTemporary;

    QString source;
    if (isButtonChecked(*this, kSourceClipboard)) {
        // Clipboard text is Unicode: unless a code page is named, it goes
        // through the edge whole.
        if (!isLegacyEncoding(formatter->sourceEncoding())) formatter->setSourceEncoding(unicode::kSourceUtf8);
        const std::optional<EncodedText> text = readClipboardBytes(formatter->sourceEncoding());
        if (!text) {
            showError(QStringLiteral("Fail to copy from clipboard"));
            return;
        }
        replacedInSource = text->replacedCount;
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

    unicode::EdgeOutput written;
    const RunResult result = runThroughEdge(*formatter, kind, choices, source, destination, written);
    const bool reported = isError(result) || (isWarning(result) && !isButtonChecked(*this, kQuietMode));
    if (reported) showResultMessage(result);
    if (result != kSuccess && !isWarning(result)) return;

    const qint32 target = formatter->targetProfileId();
    qsizetype replacedInOutput = 0;
    if (destinationTemporary) {
        const PasteResult pasted = pasteFileToClipboard(
            destination, written.unicodeEncoding ? written.unicodeEncoding : converterForProfile(target));
        if (pasted.status == PasteStatus::FileUnreadable) {
            showError(QStringLiteral("Unable to read the output back from %1.").arg(destination));
        } else if (pasted.status == PasteStatus::ClipboardRefused) {
            showError(QStringLiteral("Fail to paste to clipboard."));
        } else {
            replacedInOutput = pasted.replacedCount;
        }
    }
    // One report per run.
    if (!reported) {
        warnOfReplacedCharacters(replacedInSource + replacedInOutput,
                                 replacedInSource > 0 ? QStringLiteral("the clipboard text")
                                                      : QStringLiteral("the output"));
    }
    showOutput(destination, target, written.unicodeEncoding);
}

}  // namespace quillon
