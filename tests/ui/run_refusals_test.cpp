// Runs the dialog refuses before they start: a number field that holds no
// number or one its option does not take (Chars Per Line 0 would lose the
// text), and sources that are no regular file, which may never end. Each gives its "Error" box, writes nothing and leaves the pane alone.
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include <sys/stat.h>

#include "control_ids.h"
#include "dialog_controls.h"
#include "fresh_settings.h"
#include "main_dialog.h"
#include "recording_hooks.h"
#include "status_line.h"
#include "test_files.h"

using namespace quillon;
using namespace quillon::control_id;

namespace {

const QByteArray kGbSentence("\xBD\xF1\xCC\xEC\xCC\xEC\xC6\xF8\xBA\xDC\xBA\xC3\xA1\xA3\n");  // 今天天气很好。

}  // namespace

class RunRefusalsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FreshSettings> settings;
    QTemporaryDir files;
    RecordingHooks recorder;
    std::unique_ptr<MainDialog> dialog;

    QPlainTextEdit* pane() { return qobject_cast<QPlainTextEdit*>(dialog->control(kOutputPane)); }
    void useFiles(const QString& source, const QString& destination) {
        checkRadioPosition(*dialog, kSourceClipboard, kSourceFile, 1);
        checkRadioPosition(*dialog, kDestinationClipboard, kDestinationFile, 1);
        setDialogItemText(*dialog, kSourcePath, source);
        setDialogItemText(*dialog, kDestinationPath, destination);
    }
    void expectOneError(const QString& text) {
        QCOMPARE(recorder.messageTexts(), QStringList{text});
        QCOMPARE(recorder.messages[0].caption, QStringLiteral("Error"));
        QCOMPARE(recorder.messages[0].owner, dialog.get());
        QCOMPARE(recorder.messages[0].icon, QMessageBox::NoIcon);
        QCOMPARE(statusText(*dialog), text);
        QCOMPARE(pane()->toPlainText(), QStringLiteral("earlier output"));
        QCOMPARE(dialog->lastRun.output.encoding, nullptr);  // the engine never ran
    }

private slots:
    void init() {
        settings = std::make_unique<FreshSettings>();
        recorder = RecordingHooks();
        dialog = std::make_unique<MainDialog>(recorder.hooks());
        pane()->setPlainText(QStringLiteral("earlier output"));
    }
    void cleanup() { dialog.reset(); }

    void aNumberFieldOutsideItsRangeIsRefusedAndNothingIsWritten_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("clipboard");
        QTest::addColumn<QString>("message");
        const QString chars = QStringLiteral("Chars Per Line must be a number other than 0");
        const QString spacing = QStringLiteral("Line Spacing must be a number, 0 or more");
        const QString lead = QStringLiteral("Lead Spaces must be a number, 0 or more");
        const QString margin = QStringLiteral("Left Margin must be a number, 0 or more");
        QTest::newRow("chars 0") << kCharsPerLine << "0" << false << chars;
        QTest::newRow("chars letters") << kCharsPerLine << "abc" << false << chars;
        QTest::newRow("chars empty") << kCharsPerLine << "" << false << chars;
        QTest::newRow("chars blank") << kCharsPerLine << " " << false << chars;
        QTest::newRow("chars 0 from the clipboard") << kCharsPerLine << "0" << true << chars;
        QTest::newRow("spacing x") << kLineSpacing << "x" << false << spacing;
        QTest::newRow("spacing -1") << kLineSpacing << "-1" << false << spacing;
        QTest::newRow("spacing empty") << kLineSpacing << "" << false << spacing;
        QTest::newRow("lead -3") << kLeadSpaces << "-3" << false << lead;
        QTest::newRow("lead 2.5") << kLeadSpaces << "2.5" << false << lead;
        QTest::newRow("margin beyond 32 bits") << kLeftMargin << "4294967296" << false << margin;
        QTest::newRow("margin -1 from the clipboard") << kLeftMargin << "-1" << true << margin;
        // The heading pattern is refused like a number field, with ICU's reason.
        QTest::newRow("heading pattern") << kHeadingPattern << "[卷" << false
                                         << QStringLiteral("The heading pattern '[卷' is no regular expression: "
                                                           "U_REGEX_MISSING_CLOSE_BRACKET at offset 2");
    }
    void aNumberFieldOutsideItsRangeIsRefusedAndNothingIsWritten() {
        QFETCH(int, field);
        QFETCH(QString, typed);
        QFETCH(bool, clipboard);
        QFETCH(QString, message);
        const QString destination = files.filePath(QStringLiteral("refused.txt"));
        useFiles(writeTestFile(files, QStringLiteral("in.txt"), kGbSentence), destination);
        if (clipboard) {
            checkRadioPosition(*dialog, kSourceClipboard, kSourceFile, 0);
            QGuiApplication::clipboard()->setText(QStringLiteral("今天天气很好。"));
        }
        setDialogItemText(*dialog, field, typed);
        dialog->onFormat();
        expectOneError(message);
        QCOMPARE(dialog->focusWidget(), dialog->control(field));  // where to put it right
        recorder.messages.clear();
        dialog->onConvert();  // refused for both commands: one field, one rule
        QCOMPARE(recorder.messages.size(), size_t(1));
        QVERIFY(!QFile::exists(destination));
    }

    void negativeCharsPerLineStillMeansNoWrapping() {
        const QString destination = files.filePath(QStringLiteral("out.txt"));
        useFiles(writeTestFile(files, QStringLiteral("in.txt"), kGbSentence.repeated(2).replace('\n', "")),
                 destination);
        setDialogItemText(*dialog, kCharsPerLine, QStringLiteral("-5"));
        dialog->onFormat();
        QVERIFY(recorder.messages.empty());
        QCOMPARE(pane()->toPlainText(), QStringLiteral("　　今天天气很好。今天天气很好。\n\n"));
    }

    void aSourceThatIsNoRegularFileIsRefusedByName_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("named pipe") << "fifo";
        QTest::newRow("endless device") << "/dev/zero";
        QTest::newRow("folder") << "folder";
    }
    void aSourceThatIsNoRegularFileIsRefusedByName() {
        QFETCH(QString, kind);
        QString source = kind;
        if (kind == QLatin1String("fifo")) {
            source = files.filePath(QStringLiteral("pipe"));
            QCOMPARE(::mkfifo(QFile::encodeName(source).constData(), 0600), 0);
        } else if (kind == QLatin1String("folder")) {
            source = files.filePath(QStringLiteral("folder"));
            QVERIFY(QDir(files.path()).mkpath(QStringLiteral("folder")));
        }
        const QString destination = files.filePath(QStringLiteral("refused.txt"));
        useFiles(source, destination);
        selectPosition(*dialog, kSourceEncoding, 0);  // Auto: detection would read a pipe first
        dialog->onFormat();
        expectOneError(QStringLiteral("The source %1 is not a regular file.").arg(source));
        QVERIFY(!QFile::exists(destination));
    }

    void aSymbolicLinkToAFileIsAFile() {
        const QString target = writeTestFile(files, QStringLiteral("in.txt"), kGbSentence);
        const QString link = files.filePath(QStringLiteral("link.txt"));
        QVERIFY(QFile::link(target, link));
        useFiles(link, files.filePath(QStringLiteral("out.txt")));
        dialog->onConvert();
        QVERIFY(recorder.messages.empty());
        QCOMPARE(pane()->toPlainText(), QStringLiteral("今天天氣很好。\n"));
    }
};

QTEST_MAIN(RunRefusalsTest)
#include "run_refusals_test.moc"
