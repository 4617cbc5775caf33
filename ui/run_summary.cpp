#include "run_summary.h"

#include <QDir>
#include <QLocale>
#include <QObject>

#include <quillon/quillon.h>

#include "encoding_profile.h"
#include "engine_text.h"
#include "library_run.h"

namespace quillon {
namespace {

// A Unicode text is named by its encoding and the form the run took it in.
QString encodingName(qint32 profileId, const char* unicodeEncoding) {
    if (unicodeEncoding) {
        const QString name = QString::fromLatin1(unicodeEncoding);
        return profileId == kBig5Id ? QObject::tr("%1 (traditional)").arg(name) : QObject::tr("%1 (simplified)").arg(name);
    }
    switch (profileId) {
        case 1: return QObject::tr("GB (simplified)");
        case 2: return QObject::tr("GBK (simplified)");
        case 3: return QObject::tr("BIG5 (traditional)");
        case 5: return QObject::tr("plain ASCII");
        default: return QObject::tr("unknown");
    }
}

QString resultInWords(RunResult result) {
    switch (result) {
        case kSuccess: return QObject::tr("done");
        case kPlainAsciiSource: return QObject::tr("plain ASCII: nothing to format");
        case kInvalidCodeWarning: return QObject::tr("done with invalid characters replaced by □");
        case kUnmappableWarning: return QObject::tr("done with unconvertible characters replaced by □");
        case kHtmlAbortedWarning: return QObject::tr("done; HTML handling aborted at invalid syntax");
        default: break;
    }
    if (const auto message = libraryMessage(result)) return engineText(message->text);
    return QObject::tr("failed with result %1").arg(result);
}

}  // namespace

QString dataSize(qint64 bytes) { return QLocale().formattedDataSize(bytes, 1, QLocale::DataSizeSIFormat); }

QString describeRun(const RunSummary& run) {
    // A failure, and a plain-ASCII source, have no encodings worth naming.
    if (isError(run.result)) return resultInWords(run.result);
    QString line = run.sourceProfileId == 0
                       ? QString()
                       : QObject::tr("%1 → %2: ").arg(encodingName(run.sourceProfileId, run.unicodeSource),
                                                      encodingName(run.targetProfileId, run.unicodeOutput));
    line += resultInWords(run.result);
    line += QObject::tr("; %1 in %2 s")
                .arg(dataSize(run.outputBytes), QLocale().toString(run.elapsedMilliseconds / 1000.0, 'f', 2));
    if (run.pane && !run.pane->whole()) {
        line += QObject::tr("; the pane shows the first %1").arg(dataSize(run.pane->shownBytes));
    } else if (!run.pane) {
        line += QObject::tr("; the pane keeps what it showed");
    }
    if (run.endMarkOffset >= 0) {
        line += QObject::tr("; %1").arg(
            QString::fromStdString(api::endMarkWarning(run.endMarkOffset, run.unicodeSource ? run.unicodeSource : "",
                                                       translatedEngineText)));
    }
    return line;
}

QString describeSettingsFile(const QString& path, int writeError) {
    const QString file = QDir::toNativeSeparators(path);
    if (writeError == 0) return QObject::tr("Settings are kept in %1").arg(file);
    return QObject::tr("Settings cannot be kept: %1")
        .arg(QString::fromStdString(
            api::fileFailure(file.toStdString(), writeError, api::Error::Kind::DestinationUnwritable)));
}

}  // namespace quillon
