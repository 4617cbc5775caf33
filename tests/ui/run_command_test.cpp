// Convert and Format from the dialog: files, the clipboard, temporary files,
// what is reported and what is shown.
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include <unistd.h>

#include "control_ids.h"
#include "clipboard_text.h"
#include "dialog_controls.h"
#include "setting_controls.h"
#include "fake_clipboard_reader.h"
#include "fresh_settings.h"
#include "main_dialog.h"
#include "recording_hooks.h"
#include "status_line.h"
#include "test_files.h"

using namespace quillon;
using namespace quillon::control_id;

namespace {

const QString kBlank = QStringLiteral("　");  // the full-width blank

}  // namespace

class RunCommandTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FreshSettings> settings;
    std::unique_ptr<QTemporaryDir> temporaryFolder;  // where QLX files go
    QTemporaryDir files;
    RecordingHooks recorder;
    std::unique_ptr<MainDialog> dialog;

    QClipboard* clipboard() { return QGuiApplication::clipboard(); }
    QPlainTextEdit* pane() { return qobject_cast<QPlainTextEdit*>(dialog->control(kOutputPane)); }
    QStringList leftoverTemporaryFiles() {
        return QDir(temporaryFolder->path()).entryList({QStringLiteral("QLX*")}, QDir::Files | QDir::Hidden);
    }
    void useClipboard(bool source, bool destination) {
        checkRadioPosition(*dialog, kSourceClipboard, kSourceFile, source ? 0 : 1);
        checkRadioPosition(*dialog, kDestinationClipboard, kDestinationFile, destination ? 0 : 1);
    }
    void setPaths(const QString& source, const QString& destination) {
        setDialogItemText(*dialog, kSourcePath, source);
        setDialogItemText(*dialog, kDestinationPath, destination);
    }
    QString writeFile(const QString& name, const QByteArray& bytes) { return writeTestFile(files, name, bytes); }

private slots:
    void init() {
        settings = std::make_unique<FreshSettings>();
        temporaryFolder.reset();  // before the next is made inside it
        temporaryFolder = std::make_unique<QTemporaryDir>(files.filePath(QStringLiteral("tmp-XXXXXX")));
        qputenv("TMPDIR", temporaryFolder->path().toLocal8Bit());
        recorder = RecordingHooks();
        dialog = std::make_unique<MainDialog>(recorder.hooks());
        clipboard()->setText(QStringLiteral("untouched"));
    }
    void cleanup() {
        dialog.reset();
        QVERIFY2(leftoverTemporaryFiles().isEmpty(), qPrintable(leftoverTemporaryFiles().join(' ')));
    }

    void formatFromClipboardToClipboard() {
        useClipboard(true, true);
        clipboard()->setText(QStringLiteral("第一章\n\n他说：\"今天天气很好.\"\n明天见，再会\n"));
        dialog->onFormat();
        QVERIFY(recorder.messages.empty());
        const QString expected = kBlank.repeated(17) + QStringLiteral("第一章\n\n") + kBlank.repeated(2) +
                                 QStringLiteral("他说：“今天天气很好。”\n\n") + kBlank.repeated(2) +
                                 QStringLiteral("明天见，再会\n\n");
        QCOMPARE(clipboard()->text(), expected);
        QCOMPARE(pane()->toPlainText(), expected);
        QCOMPARE(dialog->displayFont, &dialog->gbkFont);
        QCOMPARE(pane()->font().family(), QStringLiteral("SimSun"));
    }

    void simplifiedClipboardTextComesBackTraditional() {
        useClipboard(true, true);
        clipboard()->setText(QStringLiteral("我们的国家很大"));
        dialog->onConvert();
        QVERIFY(recorder.messages.empty());
        QCOMPARE(clipboard()->text(), QStringLiteral("我們的國家很大"));
        QCOMPARE(pane()->toPlainText(), QStringLiteral("我們的國家很大"));
        QCOMPARE(dialog->displayFont, &dialog->big5Font);
    }

    void fileToFileWritesTheDestinationAndShowsIt() {
        const QString destination = files.filePath("out.txt");
        setPaths(writeFile("in.txt", "\xCE\xD2\xC3\xC7\r\n"), destination);  // 我们
        dialog->onConvert();
        QVERIFY(recorder.messages.empty());
        QCOMPARE(readTestFile(destination), QByteArray("\xA7\xDA\xAD\xCC\r\n"));  // 我們
        QCOMPARE(pane()->toPlainText(), QStringLiteral("我們\n"));
        QCOMPARE(clipboard()->text(), QStringLiteral("untouched"));
    }

    void aClipboardWithoutTextStopsBeforeTheRun() {
        useClipboard(true, true);
        auto* image = new QMimeData;
        image->setData(QStringLiteral("image/png"), QByteArray("\x89PNG"));
        clipboard()->setMimeData(image);
        dialog->onConvert();
        QCOMPARE(recorder.messageTexts(), QStringList{"Fail to copy from clipboard"});
        QCOMPARE(recorder.messages[0].caption, QStringLiteral("Error"));
        QCOMPARE(dialog->lastRun.output.encoding, nullptr);  // no run chose a target
        QVERIFY(leftoverTemporaryFiles().isEmpty());
    }

    void emptyPathsAreReportedSourceFirst() {
        useClipboard(false, false);
        setPaths(QString(), QString());
        dialog->onFormat();
        QCOMPARE(recorder.messageTexts(), QStringList{"No source filename is given."});

        recorder.messages.clear();
        useClipboard(true, false);
        clipboard()->setText(QStringLiteral("我们"));
        dialog->onConvert();
        QCOMPARE(recorder.messageTexts(), QStringList{"No destination filename is given."});
        QCOMPARE(dialog->lastRun.output.encoding, nullptr);
        QVERIFY(leftoverTemporaryFiles().isEmpty());
    }

    void quietModeSilencesWarningsButNotTheOutput() {
        useClipboard(true, true);
        selectPosition(*dialog, kOutputEncoding, 3);  // BIG5
        clipboard()->setText(QStringLiteral("我们あ"));  // kana: GBK has them, Big5 does not
        checkButton(*dialog, kQuietMode, true);
        dialog->onConvert();
        QVERIFY(recorder.messages.empty());
        QCOMPARE(clipboard()->text(), QStringLiteral("我們□"));
        QCOMPARE(pane()->toPlainText(), QStringLiteral("我們□"));

        checkButton(*dialog, kQuietMode, false);
        clipboard()->setText(QStringLiteral("我们あ"));
        dialog->onConvert();
        QCOMPARE(recorder.messageTexts(), QStringList{"Warning: Unable to convert some Chinese characters"});
        QCOMPARE(recorder.messages[0].owner, nullptr);
        QCOMPARE(clipboard()->text(), QStringLiteral("我們□"));
    }

    void plainAsciiFormatRunChangesNothing() {
        useClipboard(true, true);
        clipboard()->setText(QStringLiteral("just ASCII text."));
        pane()->setPlainText(QStringLiteral("earlier output"));
        dialog->onFormat();
        QVERIFY(recorder.messages.empty());
        QCOMPARE(clipboard()->text(), QStringLiteral("just ASCII text."));
        QCOMPARE(pane()->toPlainText(), QStringLiteral("earlier output"));
        QCOMPARE(dialog->displayFont, nullptr);
    }

    void aMissingSourceIsTheEnginesErrorAndNothingIsPasted() {
        useClipboard(false, true);
        setPaths(files.filePath("missing.txt"), QString());
        dialog->onConvert();
        QCOMPARE(recorder.messageTexts(), QStringList{files.filePath("missing.txt") + ": No such file or directory"});
        QCOMPARE(recorder.messages[0].caption, QStringLiteral("Error"));
        QCOMPARE(recorder.messages[0].icon, QMessageBox::Warning);
        QCOMPARE(clipboard()->text(), QStringLiteral("untouched"));
        QCOMPARE(pane()->toPlainText(), QString());
    }

    void anEmptyOutputLeavesAnEmptyClipboardText() {
        useClipboard(false, true);
        setPaths(writeFile("empty.txt", QByteArray()), QString());
        dialog->onConvert();
        QVERIFY(recorder.messages.empty());
        QVERIFY(clipboard()->mimeData()->hasText());
        QCOMPARE(clipboard()->text(), QString());
    }

    void charactersNoCodePageHoldsSurviveAClipboardRun() {
        useClipboard(true, true);
        clipboard()->setText(QStringLiteral("我们😀한𠀀"));
        dialog->onConvert();
        QVERIFY(recorder.messages.empty());
        QCOMPARE(clipboard()->text(), QStringLiteral("我們😀한𠀀"));
        QCOMPARE(pane()->toPlainText(), QStringLiteral("我們😀한𠀀"));
        QCOMPARE(dialog->displayFont, &dialog->big5Font);
    }

    // Traditional text is judged traditional, though GBK holds it too.
    void traditionalClipboardTextTurnsSimplified_data() {
        QTest::addColumn<int>("output");
        QTest::addColumn<QString>("expected");
        QTest::newRow("SAME") << 0 << QStringLiteral("繁体中文：简化\n");
        QTest::newRow("GB") << 1 << QStringLiteral("繁体中文：简化\n");
        QTest::newRow("UTF-8 SIMPLIFIED") << 5 << QStringLiteral("繁体中文：简化\n");
        QTest::newRow("UTF-8 TRADITIONAL") << 6 << QStringLiteral("繁體中文：簡化\n");
    }
    void traditionalClipboardTextTurnsSimplified() {
        QFETCH(int, output);
        QFETCH(QString, expected);
        useClipboard(true, true);
        showInControl(*dialog, kOutputPositionControl, output);
        clipboard()->setText(QStringLiteral("繁體中文：簡化\n"));
        dialog->onConvert();
        QVERIFY(recorder.messages.empty());
        QCOMPARE(clipboard()->text(), expected);
        QCOMPARE(pane()->toPlainText(), expected);
    }

    void aUtf8FileWorksLikeALegacyFile() {
        useClipboard(false, false);
        selectPosition(*dialog, kSourceEncoding, 4);  // UTF-8
        const QString destination = files.filePath(QStringLiteral("out.txt"));
        setPaths(writeFile("in.txt", QByteArray("\xE5\x9B\xBD\xF0\x9F\x98\x80\n")), destination);
        dialog->onConvert();
        QVERIFY(recorder.messages.empty());
        QFile out(destination);
        QVERIFY(out.open(QIODevice::ReadOnly));
        QCOMPARE(out.readAll(), QByteArray("\xE5\x9C\x8B\xF0\x9F\x98\x80\n"));
        QCOMPARE(pane()->toPlainText(), QStringLiteral("國😀\n"));
        QCOMPARE(dialog->displayFont, &dialog->big5Font);
    }

    void theSameFileAsSourceAndDestinationIsRefused_data() {
        QTest::addColumn<QString>("spelling");
        QTest::newRow("same path") << "in.txt";
        QTest::newRow("through ..") << "sub/../in.txt";
        QTest::newRow("symbolic link") << "link.txt";
        QTest::newRow("hard link") << "hard.txt";
    }
    void theSameFileAsSourceAndDestinationIsRefused() {
        QFETCH(QString, spelling);
        const QByteArray bytes("\xCE\xD2\xC3\xC7\r\n");
        const QString source = writeFile("in.txt", bytes);
        QDir(files.path()).mkpath("sub");
        QFile::link(source, files.filePath("link.txt"));
        QVERIFY(::link(QFile::encodeName(source).constData(),
                       QFile::encodeName(files.filePath("hard.txt")).constData()) == 0 ||
                QFile::exists(files.filePath("hard.txt")));
        setPaths(source, files.filePath(spelling));
        dialog->onConvert();
        dialog->onFormat();
        QCOMPARE(recorder.messageTexts(), QStringList(2, "The source and the destination are the same file."));
        QCOMPARE(recorder.messages[0].caption, QStringLiteral("Error"));
        QCOMPARE(readTestFile(source), bytes);
        QCOMPARE(dialog->lastRun.output.encoding, nullptr);
    }

    // The clipboard takes an output up to its limit; a larger one is refused
    // whole, and nothing of it is kept.
    void aClipboardDestinationHasALimit_data() {
        QTest::addColumn<int>("lines");
        QTest::addColumn<QString>("message");
        QTest::newRow("at the limit") << int(kClipboardOutputLimit / 100) << QString();
        QTest::newRow("over it") << 210'000
                                 << "The output is 21.0 MB, more than the clipboard takes (20.0 MB). "
                                    "Choose a file as the destination.";
    }
    void aClipboardDestinationHasALimit() {
        QFETCH(int, lines);
        QFETCH(QString, message);
        useClipboard(false, true);
        const QByteArray line = QByteArray(98, 'a') + "\r\n";
        setPaths(writeFile("in.txt", line.repeated(lines)), QString());
        pane()->setPlainText(QStringLiteral("earlier output"));
        dialog->onConvert();
        if (message.isEmpty()) {
            QVERIFY(recorder.messages.empty());
            QCOMPARE(clipboard()->text().size(), qsizetype(lines) * 99);
        } else {
            QCOMPARE(recorder.messageTexts(), QStringList{message});
            QCOMPARE(recorder.messages[0].caption, QStringLiteral("Error"));
            QCOMPARE(statusText(*dialog), message);
            QCOMPARE(clipboard()->text(), QStringLiteral("untouched"));
            QCOMPARE(pane()->toPlainText(), QStringLiteral("earlier output"));
        }
    }

    // Another program's clipboard comes through a reader process, here a stand-in.
    void aClipboardReaderFeedsTheRun_data() {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QByteArray>("output");
        QTest::newRow("copied") << QByteArray("copied 0") << QStringList() << QByteArray("\xA7\xDA\xAD\xCC");
        QTest::newRow("no text") << QByteArray("no-text") << QStringList{"Fail to copy from clipboard"}
                                 << QByteArray("<unreadable>");
        QTest::newRow("write failed") << QByteArray("write-failed Disk full") << QStringList{"Disk full"}
                                      << QByteArray("<unreadable>");
    }
    void aClipboardReaderFeedsTheRun() {
        QFETCH(QByteArray, answer);
        QFETCH(QStringList, messages);
        QFETCH(QByteArray, output);
        useClipboard(true, false);
        selectPosition(*dialog, kOutputEncoding, 3);  // BIG5
        const QString destination = files.filePath(QStringLiteral("out.txt"));
        const QString arguments = files.filePath(QStringLiteral("arguments.txt"));
        setPaths(QString(), destination);
        QFile::remove(destination);
        // 我们 in UTF-8, the clipboard's encoding under Auto
        recorder.clipboardReader = fakeClipboardReader(
            files, R"(printf '%s %s' "$1" "$3" > ')" + QFile::encodeName(arguments) +
                       R"('; printf '\346\210\221\344\273\254' > "$2"; printf ')" + answer + "'");
        dialog->onConvert();
        QCOMPARE(recorder.messageTexts(), messages);
        QCOMPARE(readTestFile(arguments), QByteArray("--clipboard-reader utf-8"));
        QCOMPARE(readTestFile(destination), output);
    }

    // The clipboard ends with a line end only where the source's text did; a
    // format run lays out lines that each end with one.
    void theClipboardGainsNoLineEnd_data() {
        QTest::addColumn<bool>("fromClipboard");
        QTest::addColumn<bool>("format");
        QTest::addColumn<QByteArray>("source");  // GB in a file, UTF-8 on the clipboard
        QTest::addColumn<QString>("expected");
        QTest::newRow("clipboard, none") << true << false << QByteArray("我们") << QStringLiteral("我們");
        QTest::newRow("clipboard, LF") << true << false << QByteArray("我们\n") << QStringLiteral("我們\n");
        QTest::newRow("clipboard, CR LF") << true << false << QByteArray("我们\r\n") << QStringLiteral("我們\n");
        QTest::newRow("file, none") << false << false << QByteArray("\xCE\xD2\xC3\xC7") << QStringLiteral("我們");
        QTest::newRow("file, CR LF") << false << false << QByteArray("\xCE\xD2\xC3\xC7\r\n")
                                     << QStringLiteral("我們\n");
        QTest::newRow("file, cut by 1A") << false << false << QByteArray("\xCE\xD2\xC3\xC7\x1A\n")
                                         << QStringLiteral("我們");
        QTest::newRow("format") << true << true << QByteArray("我们。")
                                << kBlank.repeated(2) + QStringLiteral("我们。\n\n");
    }
    void theClipboardGainsNoLineEnd() {
        QFETCH(bool, fromClipboard);
        QFETCH(bool, format);
        QFETCH(QByteArray, source);
        QFETCH(QString, expected);
        useClipboard(fromClipboard, true);
        checkButton(*dialog, kQuietMode, true);
        if (fromClipboard) {
            clipboard()->setText(QString::fromUtf8(source));
        } else {
            setPaths(writeFile("in.txt", source), QString());
        }
        format ? dialog->onFormat() : dialog->onConvert();
        QCOMPARE(clipboard()->text(), expected);
    }

    // A file error names the file and the system's reason, as the command
    // line does; so does a source that is plainly no text.
    void aFileErrorNamesThePathAndTheReason_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("destination");
        QTest::addColumn<QString>("failure");
        QTest::newRow("missing source") << "missing.txt" << "out.txt" << "missing.txt: No such file or directory";
        QTest::newRow("destination in a missing folder")
            << "in.txt" << "no/out.txt" << "no/out.txt: No such file or directory";
        QTest::newRow("destination a folder") << "in.txt" << "folder" << "folder: Is a directory";
        QTest::newRow("UTF-8 output into a folder") << "in-utf8.txt" << "folder" << "folder: Is a directory";
        QTest::newRow("binary source") << "binary" << "out.txt" << "binary: Not a text file (it holds NUL bytes)";
    }
    void aFileErrorNamesThePathAndTheReason() {
        QFETCH(QString, source);
        QFETCH(QString, destination);
        QFETCH(QString, failure);
        writeFile("in.txt", "\xCE\xD2\r\n");
        writeFile("in-utf8.txt", "我\n");
        writeFile("binary", QByteArray("\x7F" "ELF\x02\x01\x01\0\0\0\x1A\xCE\xD2", 14));
        QDir(files.path()).mkpath("folder");
        setPaths(files.filePath(source), files.filePath(destination));
        dialog->onConvert();
        const QString expected = files.path() + QLatin1Char('/') + failure;
        QCOMPARE(recorder.messageTexts(), QStringList{expected});
        QCOMPARE(recorder.messages[0].caption, QStringLiteral("Error"));
        QCOMPARE(statusText(*dialog), expected);
        QVERIFY(!QFile::exists(files.filePath("out.txt")));
    }

    void aByte1AThatEndsTheTextIsReported_data() {
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<int>("encoding");  // position in the source's box
        QTest::addColumn<QString>("warning");
        QTest::newRow("GB") << QByteArray("\xCE\xD2\x1A\xC3\xC7\r\n") << 1
                            << "Warning: a byte 1A at offset 2 ends the text; the bytes after it were not read";
        QTest::newRow("UTF-16") << QByteArray("\xFF\xFE\x11\x62\x1A\x00\xEC\x4E\n\x00", 10) << 0
                                << "Warning: the character U+001A at offset 4 ends the text; the bytes after it were "
                                   "not read";
    }
    void aByte1AThatEndsTheTextIsReported() {
        QFETCH(QByteArray, source);
        QFETCH(int, encoding);
        QFETCH(QString, warning);
        setPaths(writeFile("in.txt", source), files.filePath("out.txt"));
        selectPosition(*dialog, kSourceEncoding, encoding);
        dialog->onConvert();
        QCOMPARE(recorder.messageTexts(), QStringList{warning});
        QCOMPARE(recorder.messages[0].caption, QStringLiteral("Warning"));
        QVERIFY2(statusText(*dialog).endsWith(QStringLiteral("; ") + warning), qPrintable(statusText(*dialog)));

        recorder.messages.clear();
        checkButton(*dialog, kQuietMode, true);
        dialog->onConvert();
        QVERIFY(recorder.messages.empty());
        QVERIFY(statusText(*dialog).endsWith(warning));
    }

    // The user's word lists join every run that chooses by phrase, read
    // before anything is written: a bad one leaves the destination as it was.
    void ownWordListsJoinRunsByPhrase_data() {
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<int>("from");    // position in the source box
        QTest::addColumn<int>("output");  // position in the output box
        QTest::addColumn<bool>("html");
        QTest::addColumn<QByteArray>("words");  // empty: a missing file
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<QString>("refusal");  // after the list's path
        QTest::newRow("UTF-8") << QByteArray("用鼠标\n") << 4 << 0 << false << QByteArray("鼠标\t滑鼠\n")
                               << QByteArray("用滑鼠\n") << "";
        // 我们 as 吾等, which no built-in phrase gives.
        QTest::newRow("GB to Big5") << QByteArray("\xD3\xC3\xCE\xD2\xC3\xC7\r\n") << 1 << 3 << false
                                    << QByteArray("我们\t吾等\n") << QByteArray("\xA5\xCE\xA7\x5E\xB5\xA5\r\n")
                                    << "";  // 用吾等
        // Unread: the bad list refuses nothing, and the built-in phrases convert.
        QTest::newRow("HTML leaves them out") << QByteArray("用鼠标\n") << 4 << 0 << true << QByteArray("bad\n")
                                              << QByteArray("用滑鼠\n") << "";
        QTest::newRow("a line without a tab") << QByteArray("用鼠标\n") << 4 << 0 << false
                                              << QByteArray("# mine\n鼠标 滑鼠\n") << QByteArray("kept\n")
                                              << ":2: no tab between the phrase and its counterpart";
        QTest::newRow("a missing list") << QByteArray("用鼠标\n") << 4 << 0 << false << QByteArray() << QByteArray("kept\n")
                                        << ": No such file or directory";
    }
    void ownWordListsJoinRunsByPhrase() {
        QFETCH(QByteArray, source);
        QFETCH(int, from);
        QFETCH(int, output);
        QFETCH(bool, html);
        QFETCH(QByteArray, words);
        QFETCH(QByteArray, expected);
        QFETCH(QString, refusal);
        const QString list = words.isEmpty() ? files.filePath("missing.txt") : writeFile("words.txt", words);
        setButtonFiles(*dialog, kWordLists, {list});
        const QString destination = writeFile("out.txt", "kept\n");
        setPaths(writeFile("in.txt", source), destination);
        selectPosition(*dialog, kSourceEncoding, from);
        selectPosition(*dialog, kOutputEncoding, output);
        checkButton(*dialog, kHtml, html);
        dialog->onConvert();
        QCOMPARE(recorder.messageTexts(), refusal.isEmpty() ? QStringList() : QStringList{list + refusal});
        QCOMPARE(readTestFile(destination), expected);
        if (!refusal.isEmpty()) QCOMPARE(dialog->focusWidget(), dialog->control(kWordLists));
    }

    void anUnusableTemporaryFolderStopsTheCommand() {
        useClipboard(true, true);
        clipboard()->setText(QStringLiteral("我们"));
        qputenv("TMPDIR", files.filePath("no/such/folder").toLocal8Bit());
        dialog->onConvert();
        qputenv("TMPDIR", temporaryFolder->path().toLocal8Bit());
        QCOMPARE(recorder.messages.size(), size_t(1));
        QCOMPARE(recorder.messages[0].caption, QStringLiteral("Error"));
        QVERIFY(!recorder.messages[0].text.isEmpty());
        QCOMPARE(dialog->lastRun.output.encoding, nullptr);
        QCOMPARE(clipboard()->text(), QStringLiteral("我们"));
    }
};

QTEST_MAIN(RunCommandTest)
#include "run_command_test.moc"
