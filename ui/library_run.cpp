#include "library_run.h"

#include <QFile>

#include <array>

#include "encoding_profile.h"

namespace quillon {
namespace {

// The names point at static data: a run in a child process reports the
// pointer, which is the same in the dialog's process.
constexpr std::array<const char*, 4> kUnicodeEncodings = {"UTF-8", "UTF-16LE", "UTF-16BE", "GB18030"};

const char* unicodeEncodingNamed(const std::string& name) {
    for (const char* encoding : kUnicodeEncodings) {
        if (name == encoding) return encoding;
    }
    return nullptr;
}

// Unicode text is taken in the profile of its form, as the engine reads it.
const EncodingProfile* profileOf(const std::string& encoding, const std::string& form) {
    if (unicodeEncodingNamed(encoding)) return form == "traditional" ? &profiles::BIG5 : &profiles::GBK;
    for (const EncodingProfile* profile : {&profiles::GB, &profiles::GBK, &profiles::BIG5, &profiles::PureASC}) {
        if (encoding == profile->name) return profile;
    }
    return nullptr;
}

RunResult resultOf(api::Warning::Kind kind) {
    switch (kind) {
        case api::Warning::Kind::InvalidCode: return kInvalidCodeWarning;
        case api::Warning::Kind::Unmappable: return kUnmappableWarning;
        case api::Warning::Kind::HtmlAborted: return kHtmlAbortedWarning;
        case api::Warning::Kind::EndMark: break;
    }
    return kSuccess;
}

RunResult resultOf(const api::Error& error) {
    switch (error.kind()) {
        case api::Error::Kind::PlainAscii: return kPlainAsciiSource;
        case api::Error::Kind::SourceNotText: return kSourceNotText;
        case api::Error::Kind::SourceUnreadable: return kSourceUnreadable;
        // The dialog names the destination for a scratch file that failed too.
        case api::Error::Kind::DestinationUnwritable:
        case api::Error::Kind::ScratchFile: return kDestinationUnwritable;
        case api::Error::Kind::OutOfMemory:
        case api::Error::Kind::BadOption: break;
    }
    return kOutOfMemory;
}

}  // namespace

RunResult runThroughLibrary(TextFormatter& formatter, RunKind kind, const api::Options& options,
                            const QString& source, const QString& destination, EngineProcess::Report& report) {
    // The child starts as a copy of the dialog's process: nothing of the
    // last run may show through.
    formatter.sourceProfile = formatter.targetProfile = nullptr;
    formatter.systemError = 0;
    formatter.endMarkOffset = -1;
    api::Result done;
    try {
        done = api::runFile(kind == RunKind::Convert ? api::Task::Convert : api::Task::Format,
                            QFile::encodeName(source).toStdString(), QFile::encodeName(destination).toStdString(),
                            options);
    } catch (const api::Error& error) {
        if (error.kind() == api::Error::Kind::BadOption) {
            report.sourceError = QString::fromStdString(error.what());
            return kSourceUnreadable;
        }
        formatter.systemError = error.systemError();
        return resultOf(error);
    }
    formatter.sourceProfile = profileOf(done.sourceEncoding, done.sourceForm);
    formatter.targetProfile = profileOf(done.outputEncoding, done.outputForm);
    report.output.unicodeSource = unicodeEncodingNamed(done.sourceEncoding);
    report.output.unicodeEncoding = unicodeEncodingNamed(done.outputEncoding);
    RunResult result = kSuccess;
    for (const api::Warning& warning : done.warnings) {
        if (warning.kind == api::Warning::Kind::EndMark) {
            formatter.endMarkOffset = warning.offset;
        } else {
            result = resultOf(warning.kind);
        }
    }
    return result;
}

}  // namespace quillon
