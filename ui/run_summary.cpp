#include "run_summary.h"

#include <QDir>
#include <QLocale>
#include <QObject>

#include "encoding_profile.h"
#include "messages.h"

namespace quillon {
namespace {

QString encodingName(qint32 profileId) {
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
    if (const auto message = resultMessage(result)) {
        return QObject::tr(QByteArray(message->text.data(), qsizetype(message->text.size())).constData());
    }
    return QObject::tr("failed with result %1").arg(result);
}

}  // namespace

QString dataSize(qint64 bytes) { return QLocale().formattedDataSize(bytes, 1, QLocale::DataSizeSIFormat); }

QString describeRun(const RunSummary& run) {
    // A plain-ASCII source has no encodings worth naming.
    QString line = run.sourceProfileId == 0 || run.result == kPlainAsciiSource
                       ? QString()
                       : QObject::tr("%1 → %2: ").arg(encodingName(run.sourceProfileId),
                                                      encodingName(run.targetProfileId));
    line += resultInWords(run.result);
    if (isError(run.result)) return line;
    line += QObject::tr("; %1 in %2 s")
                .arg(dataSize(run.outputBytes), QLocale().toString(run.elapsedMilliseconds / 1000.0, 'f', 2));
    if (run.pane && !run.pane->whole()) {
        line += QObject::tr("; the pane shows the first %1").arg(dataSize(run.pane->shownBytes));
    } else if (!run.pane && run.result != kPlainAsciiSource) {
        line += QObject::tr("; the pane keeps what it showed");
    }
    return line;
}

QString describeSettingsFile(const QString& path) {
    return QObject::tr("Settings are kept in %1").arg(QDir::toNativeSeparators(path));
}

}  // namespace quillon
