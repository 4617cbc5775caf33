// The run command: the dialog's choices reduced to two files, libquillon's run
// between them, and what the user sees of the result.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QScopedValueRollback>

#include <optional>
#include <string>
#include <vector>

#include <quillon/quillon.h>

#include "clipboard_text.h"
#include "control_ids.h"
#include "dialog_controls.h"
#include "engine_process.h"
#include "engine_text.h"
#include "legacy_codec.h"
#include "library_run.h"
#include "main_dialog.h"
#include "run_choices.h"
#include "run_progress.h"
#include "run_refusals.h"
#include "run_summary.h"
#include "setting_controls.h"
#include "status_line.h"
#include "temporary_file.h"

namespace quillon {
namespace {

// A run that failed over one of its files: the file named with the reason, as
// the command line words it. None for any other result.
std::optional<QString> fileFailure(const EngineProcess::Report& report, const RunEnd& result, const QString& source,
                                   const QString& destination) {
    const auto named = [](const QString& path, int error, api::Error::Kind kind) {
        return QString::fromStdString(
            api::fileFailure(QDir::toNativeSeparators(path).toStdString(), error, kind, translatedEngineText));
    };
    if (!result.error) return std::nullopt;
    switch (*result.error) {
        case api::Error::Kind::SourceUnreadable:
            return named(source,
                         report.systemError != 0 ? report.systemError
                                                 : api::openError(QFile::encodeName(source).toStdString()),
                         api::Error::Kind::SourceUnreadable);
        // The dialog names the destination for a scratch file that failed too.
        case api::Error::Kind::DestinationUnwritable:
        case api::Error::Kind::ScratchFile:
            return named(destination, report.systemError, api::Error::Kind::DestinationUnwritable);
        case api::Error::Kind::SourceNotText: return named(source, 0, api::Error::Kind::SourceNotText);
        case api::Error::Kind::BadOption:
        case api::Error::Kind::OutOfMemory:
        case api::Error::Kind::PlainAscii: break;
    }
    return std::nullopt;
}

// Whether the text read from `path` ends with a line end; a convert run ends
// its last line with one whether or not it had one. The text ends where a 1A
// ended it (`endMarkOffset`). UTF-16, whose bytes do not tell it at a glance,
// counts as ending with one.
bool textEndsWithLineEnd(const QString& path, const RunText& text, qint64 endMarkOffset) {
    if (text.unicode && qstrncmp(text.encoding, "UTF-16", 6) == 0) return true;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return true;
    const qint64 end = endMarkOffset >= 0 ? endMarkOffset : file.size();
    char last = '\n';
    if (end > 0 && file.seek(end - 1)) file.getChar(&last);
    return last == '\n' || last == '\r';
}

}  // namespace

// Characters lost between the clipboard's Unicode text and a code page are
// reported as the engine reports its own replacements: unless Quiet Mode is
// checked.
void MainDialog::warnOfReplacedCharacters(qsizetype count, ReplacedIn where) {
    if (count == 0 || isButtonChecked(*this, control_id::kQuietMode)) return;
    // Whole sentences, so that a translation can word each its own way.
    QString text;
    if (where == ReplacedIn::ClipboardText) {
        text = count == 1 ? QObject::tr("Warning: 1 character of the clipboard text could not be converted and was replaced.")
                          : QObject::tr("Warning: %1 characters of the clipboard text could not be converted and were replaced.");
    } else {
        text = count == 1 ? QObject::tr("Warning: 1 character of the output could not be converted and was replaced.")
                          : QObject::tr("Warning: %1 characters of the output could not be converted and were replaced.");
    }
    if (count != 1) text = text.arg(count);
    hooks_.showMessage(this, QObject::tr("Warning"), text, QMessageBox::Warning);
}

void MainDialog::runCommand(RunKind kind) {
    using namespace control_id;
    // One run at a time: Return and the buttons reach here during a run only
    // through the event loop that waits for it.
    if (running_) return;
    const QScopedValueRollback running(running_, true);
    api::Options options = runOptions();
    if (const auto refusal = numberFieldRefusal(*this)) {
        showError(refusal->text);
        control(refusal->field)->setFocus();
        return;
    }
    if (const auto refusal = headingPatternRefusal(options.headingPattern)) {
        showError(*refusal);
        control(kHeadingPattern)->setFocus();
        return;
    }
    // The user's word lists join phrase conversion, as on the command line,
    // where HTML and no phrases leave it out.
    // They are read here first so that a bad one is refused before the run,
    // with the focus on its button; the run reads them again by name.
    if (options.phrases.value_or(true) && !options.html.value_or(false)) {
        const QStringList files = buttonFiles(*this, kWordLists);
        if (const auto refusal = wordListRefusal(files)) {
            showError(*refusal);
            control(kWordLists)->setFocus();
            return;
        }
        for (const QString& file : files) options.dictionaries.push_back(QFile::encodeName(file).toStdString());
    }

    // Whatever way the command ends, its temporary files go with it (the
    // source's first: members are destroyed in reverse order).
    std::optional<TemporaryFile> destinationTemporary;
    std::optional<TemporaryFile> sourceTemporary;

    QString source;
    // The clipboard's text, fetched, encoded and written into the source's
    // temporary file by the run itself: a long text must not hold up the window.
    std::optional<ClipboardSource> clipboardSource;
    const QString noClipboardText = QObject::tr("Fail to copy from clipboard");
    if (isButtonChecked(*this, kSourceClipboard)) {
        // Clipboard text is Unicode: unless a code page is named, it goes
        // through the edge whole.
        if (qstrcmp(converterForClipboardSource(options.from), kUtf8Converter) == 0) options.from = "utf-8";
        clipboardSource = hooks_.clipboardSource();
        if (!clipboardSource->mayHoldText()) {
            showError(noClipboardText);
            return;
        }
        sourceTemporary.emplace();
        if (!sourceTemporary->isValid()) {
            showError(sourceTemporary->errorString());
            return;
        }
        source = sourceTemporary->path();
    } else {
        source = dialogItemText(*this, kSourcePath);
        if (source.isEmpty()) {
            showError(QObject::tr("No source filename is given."));
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
            showError(QObject::tr("No destination filename is given."));
            return;
        }
    }

    // The engine empties the destination before it reads the source.
    if (api::sameFile(QFile::encodeName(source).toStdString(), QFile::encodeName(destination).toStdString())) {
        showError(QObject::tr("The source and the destination are the same file."));
        return;
    }

    QElapsedTimer clock;
    clock.start();
    EngineProcess run([&](EngineProcess::Report& report) {
        if (clipboardSource) {
            const ClipboardCopy copy = clipboardSource->copyInto(source, options.from);
            report.sourceReplacements = copy.replacedCount;
            if (copy.status != ClipboardCopy::Status::Copied) {
                report.sourceError = copy.status == ClipboardCopy::Status::NoText ? noClipboardText : copy.error;
                return RunEnd{api::Error::Kind::SourceUnreadable, std::nullopt};
            }
            if (QFileInfo(source).size() == 0) {
                report.sourceEmpty = true;
                return RunEnd{};
            }
        }
        return runThroughLibrary(kind, optionsFor(kind, options), source, destination, report);
    });
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
    lastRun = outcome.report;
    if (!outcome.report.sourceError.isEmpty()) {
        showError(outcome.report.sourceError);
        return;
    }
    if (outcome.report.sourceEmpty) {
        showStatus(*this, QObject::tr("The clipboard text is empty: there is nothing to convert or format."));
        return;
    }
    const RunEnd result = outcome.result;
    // The engine's box, with the file and the reason in words; the status
    // line says the same and nothing else.
    if (const auto failure = fileFailure(outcome.report, result, source, destination)) {
        showStatus(*this, *failure);
        hooks_.showMessage(nullptr, QObject::tr("Error"), *failure, QMessageBox::Warning);
        return;
    }
    const qsizetype replacedInSource = outcome.report.sourceReplacements;
    RunSummary summary;
    summary.result = result;
    summary.elapsedMilliseconds = clock.elapsed();
    summary.source = outcome.report.source;
    summary.output = outcome.report.output;
    summary.endMarkOffset = outcome.report.endMarkOffset;
    summary.outputBytes = QFileInfo(destination).size();
    // Refused before anything is reported: none of this output is kept.
    if (destinationTemporary && !result.error && summary.outputBytes > kClipboardOutputLimit) {
        showError(QObject::tr("The output is %1, more than the clipboard takes (%2). Choose a file as the destination.")
                      .arg(dataSize(summary.outputBytes), dataSize(kClipboardOutputLimit)));
        return;
    }
    showStatus(*this, describeRun(summary));
    const bool reported = result.error || (result.warning && !isButtonChecked(*this, kQuietMode));
    if (reported) {
        if (const auto message = libraryMessage(result)) {
            hooks_.showMessage(nullptr, engineText(message->caption), engineText(message->text), QMessageBox::Warning);
        }
    }
    if (result.error) return;
    if (summary.endMarkOffset >= 0 && !isButtonChecked(*this, kQuietMode)) {
        hooks_.showMessage(
            nullptr, QObject::tr("Warning"),
            QString::fromStdString(api::endMarkWarning(summary.endMarkOffset, summary.source.unicode ? summary.source.encoding : "",
                                                       translatedEngineText)),
            QMessageBox::Warning);
    }

    qsizetype replacedInOutput = 0;
    if (destinationTemporary) {
        const bool addedLineEnd =
            kind == RunKind::Convert && !textEndsWithLineEnd(source, summary.source, summary.endMarkOffset);
        const PasteResult pasted = pasteFileToClipboard(destination, converterForText(summary.output), addedLineEnd);
        if (pasted.status == PasteStatus::FileUnreadable) {
            showError(QObject::tr("Unable to read the output back from %1.").arg(destination));
        } else if (pasted.status == PasteStatus::ClipboardRefused) {
            showError(QObject::tr("Fail to paste to clipboard."));
        } else {
            replacedInOutput = pasted.replacedCount;
        }
    }
    // Characters that a code page of the user's choosing lost on the way in
    // or out, reported only when the run itself reports nothing: one report per run.
    if (!reported) {
        warnOfReplacedCharacters(replacedInSource + replacedInOutput,
                                 replacedInSource > 0 ? ReplacedIn::ClipboardText : ReplacedIn::Output);
    }
    summary.pane = showOutput(destination, summary.output);
    showStatus(*this, describeRun(summary));
}

}  // namespace quillon
