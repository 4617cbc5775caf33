#include "run_summary.h"

#include <QDir>
#include <QLocale>
#include <QObject>

#include <string_view>

#include <quillon/quillon.h>

#include "engine_text.h"
#include "library_run.h"

namespace quillon {
namespace {

// A Unicode text is named by its encoding and the form the run took it in.
QString encodingName(const RunText& text) {
    if (text.unicode) {
        const QString name = QString::fromLatin1(text.encoding);
        return text.script == Script::Traditional ? QObject::tr("%1 (traditional)").arg(name)
                                                  : QObject::tr("%1 (simplified)").arg(name);
    }
    const std::string_view name = text.encoding ? text.encoding : "";
    if (name == "GB") return QObject::tr("GB (simplified)");
    if (name == "GBK") return QObject::tr("GBK (simplified)");
    if (name == "BIG5") return QObject::tr("BIG5 (traditional)");
    if (name == "PureASC") return QObject::tr("plain ASCII");
    return QObject::tr("unknown");
}

QString resultInWords(const RunEnd& end) {
    if (end.error == api::Error::Kind::PlainAscii) return QObject::tr("plain ASCII: nothing to format");
    if (!end.error && end.warning) {
        switch (*end.warning) {
            case api::Warning::Kind::InvalidCode: return QObject::tr("done with invalid characters replaced by □");
            case api::Warning::Kind::Unmappable: return QObject::tr("done with unconvertible characters replaced by □");
            case api::Warning::Kind::HtmlAborted: return QObject::tr("done; HTML handling aborted at invalid syntax");
            case api::Warning::Kind::EndMark: break;
        }
    }
    if (!end.error) return QObject::tr("done");
    if (const auto message = libraryMessage(end)) return engineText(message->text);
    return QObject::tr("failed");
}

}  // namespace

QString dataSize(qint64 bytes) { return QLocale().formattedDataSize(bytes, 1, QLocale::DataSizeSIFormat); }

QString describeRun(const RunSummary& run) {
    // A failure, and a plain-ASCII source, have no encodings worth naming.
    if (run.result.error) return resultInWords(run.result);
    QString line = run.source.encoding == nullptr
                       ? QString()
                       : QObject::tr("%1 → %2: ").arg(encodingName(run.source), encodingName(run.output));
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
            QString::fromStdString(api::endMarkWarning(run.endMarkOffset, run.source.unicode ? run.source.encoding : "",
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
