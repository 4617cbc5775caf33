#include "clipboard_text.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QtTest>

#include "temp_files.h"
#include "test_files.h"

using quillon::PasteStatus;
using ClipboardStatus = quillon::ClipboardCopy::Status;
using quillon::testing::TempDir;
using quillon::testing::writeFile;

class ClipboardTextTest : public QObject {
    Q_OBJECT

private slots:
    void readsTextInTheChosenCodePage_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("replaced");
        QTest::newRow("auto takes UTF-8")
            << QStringLiteral("auto") << u"国语 ok\n"_qs << QByteArray("\xE5\x9B\xBD\xE8\xAF\xAD ok\n") << 0;
        QTest::newRow("auto keeps what no code page holds")
            << QStringLiteral("auto") << u"國😀"_qs << QByteArray("\xE5\x9C\x8B\xF0\x9F\x98\x80") << 0;
        QTest::newRow("BIG5 chosen") << QStringLiteral("big5") << u"國"_qs << QByteArray("\xB0\xEA") << 0;
        QTest::newRow("a character neither has") << QStringLiteral("gbk") << u"中🀄"_qs << QByteArray("\xD6\xD0?") << 1;
        QTest::newRow("ends at the first NUL")
            << QStringLiteral("gb") << QString::fromUtf16(u"ab\0cd", 5) << QByteArray("ab") << 0;
        QTest::newRow("empty text is text") << QStringLiteral("auto") << QString() << QByteArray() << 0;
    }
    void readsTextInTheChosenCodePage() {
        QFETCH(QString, from);
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(int, replaced);
        QGuiApplication::clipboard()->setText(text);
        const std::optional<QString> read = quillon::readClipboardText();
        QVERIFY(read);
        TempDir dir;
        const QString path = QString::fromStdString(dir.file("source.txt"));
        writeFile(dir.file("source.txt"), "earlier and longer contents");
        const quillon::ClipboardCopy copy = quillon::writeClipboardText(*read, from.toStdString(), path);
        QCOMPARE(copy.status, ClipboardStatus::Copied);
        QCOMPARE(readTestFile(path), bytes);
        QCOMPARE(copy.replacedCount, qsizetype(replaced));
    }

    // The text goes out in blocks of 2^20 units; none may lose or split a character.
    void aLongTextIsWrittenWhole_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QByteArray>("pair");  // 😀 in that encoding
        QTest::addColumn<int>("replaced");
        QTest::newRow("UTF-8") << QStringLiteral("auto") << QByteArray("\xF0\x9F\x98\x80") << 0;
        QTest::newRow("GBK") << QStringLiteral("gbk") << QByteArray("?") << 1;
    }
    void aLongTextIsWrittenWhole() {
        QFETCH(QString, from);
        QFETCH(QByteArray, pair);
        QFETCH(int, replaced);
        constexpr qsizetype kBlock = qsizetype(1) << 20;
        // The pair's two units fall into two blocks.
        const QString text = QString(kBlock - 1, u'a') + u"😀"_qs + QString(kBlock, u'b');
        TempDir dir;
        const QString path = QString::fromStdString(dir.file("source.txt"));
        const quillon::ClipboardCopy copy = quillon::writeClipboardText(text, from.toStdString(), path);
        QCOMPARE(copy.status, ClipboardStatus::Copied);
        QCOMPARE(copy.replacedCount, qsizetype(replaced));
        QVERIFY(readTestFile(path) == QByteArray(kBlock - 1, 'a') + pair + QByteArray(kBlock, 'b'));
    }

    void aFileThatCannotBeWrittenIsNamed() {
        TempDir dir;
        const QString path = QString::fromStdString(dir.file("no/such/folder/source.txt"));
        const quillon::ClipboardCopy copy = quillon::writeClipboardText(u"国"_qs, "auto", path);
        QCOMPARE(copy.status, ClipboardStatus::WriteFailed);
        QCOMPARE(copy.error, u"Cannot write the temporary file %1: No such file or directory"_qs.arg(path));
    }

    void noTextIsAFailure() {
        QGuiApplication::clipboard()->clear();
        QVERIFY(!quillon::readClipboardText());
        QImage image(2, 2, QImage::Format_RGB32);
        image.fill(Qt::red);
        QGuiApplication::clipboard()->setImage(image);
        QVERIFY(!quillon::readClipboardText());
    }

    void pastesAFileAsUnicodeText_data() {
        QTest::addColumn<QString>("encoding");  // as the run names its output
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("replaced");
        QTest::newRow("GB") << QStringLiteral("GB") << QByteArray("\xB9\xFA\xD3\xEF\r\n\r\nx\r\n") << u"国语\n\nx\n"_qs
                            << 0;
        QTest::newRow("GBK") << QStringLiteral("GBK") << QByteArray("\xB9\xFA") << u"国"_qs << 0;
        QTest::newRow("BIG5") << QStringLiteral("BIG5") << QByteArray("\xB0\xEA\xBBy\r\n") << u"國語\n"_qs << 0;
        QTest::newRow("PureASC") << QStringLiteral("PureASC") << QByteArray("abc\r\n") << u"abc\n"_qs << 0;
        QTest::newRow("a lone CR stays") << QStringLiteral("PureASC") << QByteArray("a\rb") << u"a\rb"_qs << 0;
        QTest::newRow("undefined bytes are counted")
            << QStringLiteral("BIG5") << QByteArray("\xA1\x7F\xB0") << u"\uFFFD\u007F\uFFFD"_qs << 2;
        QTest::newRow("empty") << QStringLiteral("GB") << QByteArray() << QString() << 0;
    }
    void pastesAFileAsUnicodeText() {
        QFETCH(QString, encoding);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(int, replaced);
        TempDir dir;
        writeFile(dir.file("out.txt"), bytes.toStdString());
        QGuiApplication::clipboard()->setText(u"before"_qs);
        const quillon::PasteResult result =
            quillon::pasteFileToClipboard(QString::fromStdString(dir.file("out.txt")),
                                          quillon::converterForText(quillon::runTextOf(encoding.toStdString(), {})));
        QCOMPARE(result.status, PasteStatus::Pasted);
        QCOMPARE(result.replacedCount, qsizetype(replaced));
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        QVERIFY(data && data->hasText());
        QCOMPARE(data->text(), text);
    }

    void anUnreadableFileLeavesTheClipboardAlone() {
        TempDir dir;
        QGuiApplication::clipboard()->setText(u"before"_qs);
        const quillon::PasteResult result =
            quillon::pasteFileToClipboard(QString::fromStdString(dir.file("missing.txt")),
                                          quillon::kGbkConverter);
        QCOMPARE(result.status, PasteStatus::FileUnreadable);
        QCOMPARE(QGuiApplication::clipboard()->text(), u"before"_qs);
    }

    // Clipboard to a file and back, as a run with both ends on the clipboard does.
    void aRoundTripKeepsTheText() {
        const QString text = u"简体中文，测试。\n第二行\n"_qs;
        QGuiApplication::clipboard()->setText(text);
        const std::optional<QString> read = quillon::readClipboardText();
        QVERIFY(read);
        TempDir dir;
        const QString path = QString::fromStdString(dir.file("out.txt"));
        QCOMPARE(quillon::writeClipboardText(*read, "auto", path).status, ClipboardStatus::Copied);
        QByteArray withCrLf = readTestFile(path);
        withCrLf.replace("\n", "\r\n");  // as the engine writes its lines
        writeFile(dir.file("out.txt"), withCrLf.toStdString());
        QGuiApplication::clipboard()->clear();
        QCOMPARE(
            quillon::pasteFileToClipboard(QString::fromStdString(dir.file("out.txt")),
                                          quillon::kUtf8Converter)
                .status,
            PasteStatus::Pasted);
        QCOMPARE(QGuiApplication::clipboard()->text(), text);
    }
};

QTEST_MAIN(ClipboardTextTest)
#include "clipboard_text_test.moc"
