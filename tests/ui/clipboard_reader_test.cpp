// The clipboard reader: the program started again to fetch another program's
// clipboard, and what its starter makes of its answer.
#include "clipboard_reader.h"

#include <QTemporaryDir>
#include <QtTest>

#include "fake_clipboard_reader.h"
#include "test_files.h"

using quillon::ClipboardCopy;
using Status = quillon::ClipboardCopy::Status;

class ClipboardReaderTest : public QObject {
    Q_OBJECT

private slots:
    void theAnswerIsUnderstood_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<Status>("status");
        QTest::addColumn<int>("replaced");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("copied") << QByteArray(R"(printf '%s|%s' "$1" "$3" > "$2"; printf 'copied 3')")
                                << Status::Copied << 3 << QString() << QByteArray("--clipboard-reader|gbk");
        QTest::newRow("no text") << QByteArray("printf no-text") << Status::NoText << 0 << QString() << QByteArray();
        QTest::newRow("write failed") << QByteArray("printf 'write-failed Disk full: 满'") << Status::WriteFailed << 0
                                      << u"Disk full: 满"_qs << QByteArray();
        QTest::newRow("no answer") << QByteArray("exit 1") << Status::NoText << 0 << QString() << QByteArray();
        QTest::newRow("killed") << QByteArray("printf copied; kill -9 $$") << Status::NoText << 0 << QString()
                                << QByteArray();
    }
    void theAnswerIsUnderstood() {
        QFETCH(QByteArray, body);
        QFETCH(Status, status);
        QFETCH(int, replaced);
        QFETCH(QString, error);
        QFETCH(QByteArray, written);
        QTemporaryDir dir;
        const QString path = writeTestFile(dir, QStringLiteral("source.txt"), QByteArray());
        const ClipboardCopy copy = quillon::copyClipboardThroughReader(fakeClipboardReader(dir, body), path, "gbk");
        QCOMPARE(copy.status, status);
        QCOMPARE(copy.replacedCount, qsizetype(replaced));
        QCOMPARE(copy.error, error);
        QCOMPARE(readTestFile(path), written);
    }

    void aReaderThatCannotStartFindsNoText() {
        QTemporaryDir dir;
        const QString path = writeTestFile(dir, QStringLiteral("source.txt"), QByteArray("kept"));
        const ClipboardCopy copy =
            quillon::copyClipboardThroughReader(QFile::encodeName(dir.filePath("missing")), path, "auto");
        QCOMPARE(copy.status, Status::NoText);
        QCOMPARE(readTestFile(path), QByteArray("kept"));
    }

    // The program itself, started as a reader: its own offscreen clipboard
    // is empty, which it says without touching the file. (Reading another
    // program's X11 clipboard needs a display; that is checked by hand.)
    void theProgramAnswersAsAReader() {
        QTemporaryDir dir;
        const QString path = writeTestFile(dir, QStringLiteral("source.txt"), QByteArray("kept"));
        const ClipboardCopy copy = quillon::copyClipboardThroughReader(QUILLON_PROGRAM, path, "auto");
        QCOMPARE(copy.status, Status::NoText);
        QCOMPARE(readTestFile(path), QByteArray("kept"));
    }

    void otherArgumentsAreNoReadersBusiness() {
        char program[] = "quillon";
        char file[] = "--clipboard-reader";
        char* arguments[] = {program, file, nullptr};
        QVERIFY(!quillon::runAsClipboardReader(2, arguments));
    }
};

QTEST_MAIN(ClipboardReaderTest)
#include "clipboard_reader_test.moc"
