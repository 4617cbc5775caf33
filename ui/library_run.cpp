#include "library_run.h"

#include <QFile>

#include <array>
#include <utility>

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

// Unicode text is taken in the profile of its form, as the engine reads it;
// the legacy encodings are named as their profiles are.
qint32 profileOf(const std::string& encoding, const std::string& form) {
    if (unicodeEncodingNamed(encoding)) return form == "traditional" ? kBig5Id : kGbkId;
    const std::pair<const char*, qint32> legacy[] = {{"GB", kGbId}, {"GBK", kGbkId}, {"BIG5", kBig5Id}, {"PureASC", kPureAscId}};
    for (const auto& [name, id] : legacy) {
        if (encoding == name) return id;
    }
    return 0;
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

RunResult runThroughLibrary(RunKind kind, const api::Options& options, const QString& source,
                            const QString& destination, EngineProcess::Report& report) {
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
        report.systemError = error.systemError();
        return resultOf(error);
    }
    report.sourceProfileId = profileOf(done.sourceEncoding, done.sourceForm);
    report.targetProfileId = profileOf(done.outputEncoding, done.outputForm);
    report.unicodeSource = unicodeEncodingNamed(done.sourceEncoding);
    report.unicodeOutput = unicodeEncodingNamed(done.outputEncoding);
    RunResult result = kSuccess;
    for (const api::Warning& warning : done.warnings) {
        if (warning.kind == api::Warning::Kind::EndMark) {
            report.endMarkOffset = warning.offset;
        } else {
            result = resultOf(warning.kind);
        }
    }
    return result;
}

std::optional<api::Message> libraryMessage(RunResult result) {
    switch (result) {
        case kOutOfMemory: return api::messageOf(api::Error::Kind::OutOfMemory);
        case kSourceUnreadable: return api::messageOf(api::Error::Kind::SourceUnreadable);
        case kDestinationUnwritable: return api::messageOf(api::Error::Kind::DestinationUnwritable);
        case kSourceNotText: return api::messageOf(api::Error::Kind::SourceNotText);
        case kInvalidCodeWarning: return api::messageOf(api::Warning::Kind::InvalidCode);
        case kUnmappableWarning: return api::messageOf(api::Warning::Kind::Unmappable);
        case kHtmlAbortedWarning: return api::messageOf(api::Warning::Kind::HtmlAborted);
        default: return std::nullopt;
    }
}

}  // namespace quillon
