#include "library_run.h"

#include <QFile>

namespace quillon {

RunEnd runThroughLibrary(RunKind kind, const api::Options& options, const QString& source,
                         const QString& destination, EngineProcess::Report& report) {
    api::Result done;
    try {
        done = api::runFile(kind == RunKind::Convert ? api::Task::Convert : api::Task::Format,
                            QFile::encodeName(source).toStdString(), QFile::encodeName(destination).toStdString(),
                            options);
    } catch (const api::Error& error) {
        if (error.kind() == api::Error::Kind::BadOption) report.sourceError = QString::fromStdString(error.what());
        report.systemError = error.systemError();
        return {error.kind(), std::nullopt};
    }
    report.source = runTextOf(done.sourceEncoding, done.sourceForm);
    report.output = runTextOf(done.outputEncoding, done.outputForm);
    RunEnd end;
    for (const api::Warning& warning : done.warnings) {
        if (warning.kind == api::Warning::Kind::EndMark) {
            report.endMarkOffset = warning.offset;
        } else {
            end.warning = warning.kind;
        }
    }
    return end;
}

std::optional<api::Message> libraryMessage(const RunEnd& end) {
    if (end.error) return api::messageOf(*end.error);
    if (end.warning) return api::messageOf(*end.warning);
    return std::nullopt;
}

}  // namespace quillon
