#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

// A stand-in for the clipboard reader: a shell script in `dir` that runs
// `body` with the reader's arguments ($1 the option, $2 the file to write,
// $3 the source encoding). Returns the program's encoded path.
inline QByteArray fakeClipboardReader(const QTemporaryDir& dir, const QByteArray& body) {
    const QString path = dir.filePath(QStringLiteral("reader.sh"));
    QFile script(path);
    if (!script.open(QIODevice::WriteOnly) || script.write("#!/bin/sh\n" + body + "\n") < 0) {
        qFatal("cannot write %s", qPrintable(path));
    }
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return QFile::encodeName(path);
}
