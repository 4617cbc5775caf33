#include "clipboard_source.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>

#include "clipboard_reader.h"

namespace quillon {

ClipboardSource ClipboardSource::current() {
    // An X11 clipboard that another program owns is fetched from that program
    // through the X server: synchronously, and as fast as the owner sends.
    if (QGuiApplication::platformName() == u"xcb" && !QGuiApplication::clipboard()->ownsClipboard()) {
        return throughReader(QFile::encodeName(QCoreApplication::applicationFilePath()));
    }
    ClipboardSource source;
    source.text_ = readClipboardText();
    return source;
}

ClipboardSource ClipboardSource::throughReader(const QByteArray& readerProgram) {
    ClipboardSource source;
    source.readerProgram_ = readerProgram;
    return source;
}

ClipboardCopy ClipboardSource::copyInto(const QString& path, const std::string& from) const {
    if (!readerProgram_.isEmpty()) return copyClipboardThroughReader(readerProgram_, path, from);
    if (!text_) return {ClipboardCopy::Status::NoText, 0, {}};
    return writeClipboardText(*text_, from, path);
}

}  // namespace quillon
