// Long runs: the engine works off the dialog's thread, the controls wait,
// Cancel ends the run and leaves the clipboard and the temporary folder as
// they were, and a large output reaches the pane only as a preview.
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

#include "control_ids.h"
#include "dialog_controls.h"
#include "fake_clipboard_reader.h"
#include "fresh_settings.h"
#include "main_dialog.h"
#include "output_loader.h"
#include "recording_hooks.h"
#include "status_line.h"
#include "test_files.h"

using namespace quillon;
using namespace quillon::control_id;

namespace {

// 今天天气很好。 and a line end: 16 bytes of GB text.
const QByteArray kGbLine("\xBD\xF1\xCC\xEC\xCC\xEC\xC6\xF8\xBA\xDC\xBA\xC3\xA1\xA3\r\n");

}  // namespace

class RunProgressTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FreshSettings> settings;
    QTemporaryDir files;
    std::unique_ptr<QTemporaryDir> temporaryFolder;
    RecordingHooks recorder;
    std::unique_ptr<MainDialog> dialog;

    QPlainTextEdit* pane() { return qobject_cast<QPlainTextEdit*>(dialog->control(kOutputPane)); }
    QStringList leftoverTemporaryFiles() {
        return QDir(temporaryFolder->path()).entryList({QStringLiteral("QLX*")}, QDir::Files | QDir::Hidden);
    }

private slots:
    void init() {
        settings = std::make_unique<FreshSettings>();
        temporaryFolder.reset();
        temporaryFolder = std::make_unique<QTemporaryDir>(files.filePath(QStringLiteral("tmp-XXXXXX")));
        qputenv("TMPDIR", temporaryFolder->path().toLocal8Bit());
        recorder = RecordingHooks();
        dialog = std::make_unique<MainDialog>(recorder.hooks());
        pane()->setPlainText(QStringLiteral("earlier output"));
        QGuiApplication::clipboard()->setText(QStringLiteral("untouched"));
    }
    void cleanup() {
        dialog.reset();
        QCOMPARE(leftoverTemporaryFiles(), QStringList());
    }

    void cancelEndsTheRunAndChangesNothing() {
        checkRadioPosition(*dialog, kSourceClipboard, kSourceFile, 1);
        checkRadioPosition(*dialog, kDestinationClipboard, kDestinationFile, 0);
        dialog->onDestinationClipboard();
        setDialogItemText(*dialog, kSourcePath,
                          writeTestFile(files, QStringLiteral("big.txt"), kGbLine.repeated(1 << 20)));
        bool controlsWaited = false;
        QStringList temporaryFilesDuringTheRun;
        QTimer::singleShot(0, dialog.get(), [&] {
            controlsWaited = !dialog->control(kFormat)->isEnabled() && !dialog->control(kSourcePath)->isEnabled() &&
                             !dialog->control(kQuietMode)->isEnabled();
            temporaryFilesDuringTheRun = leftoverTemporaryFiles();
            dialog->onFormat();  // a second run does not start meanwhile
            auto* progress = dialog->findChild<QProgressDialog*>();
            QVERIFY(progress);
            auto* cancel = progress->findChild<QPushButton*>();
            QCOMPARE(cancel->text(), QStringLiteral("Cancel"));
            cancel->click();
        });
        dialog->onConvert();
        QVERIFY(controlsWaited);
        QCOMPARE(temporaryFilesDuringTheRun.size(), 1);
        QVERIFY(recorder.messages.empty());
        QCOMPARE(statusText(*dialog), QStringLiteral("Cancelled"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("untouched"));
        QCOMPARE(pane()->toPlainText(), QStringLiteral("earlier output"));
        QCOMPARE(dialog->lastRun.output.encoding, nullptr);
        // The controls are back as they were: the destination path stays
        // disabled, since the destination is the clipboard.
        QVERIFY(dialog->control(kFormat)->isEnabled());
        QVERIFY(dialog->control(kSourcePath)->isEnabled());
        QVERIFY(!dialog->control(kDestinationPath)->isEnabled());
        QVERIFY(!dialog->findChild<QProgressDialog*>());
    }

    // A clipboard that takes long to fetch: Cancel ends the reader with the run.
    void cancelEndsTheClipboardReader() {
        checkRadioPosition(*dialog, kSourceClipboard, kSourceFile, 0);
        setDialogItemText(*dialog, kDestinationPath, files.filePath(QStringLiteral("out.txt")));
        const QString pidFile = files.filePath(QStringLiteral("reader.pid"));
        recorder.clipboardReader = fakeClipboardReader(files, "echo $$ > '" + QFile::encodeName(pidFile) + "'; exec sleep 600");
        QTimer::singleShot(0, dialog.get(), [&] {
            QTRY_VERIFY(QFileInfo(pidFile).size() > 0);
            dialog->findChild<QProgressDialog*>()->findChild<QPushButton*>()->click();
        });
        dialog->onConvert();
        QVERIFY(recorder.messages.empty());
        QCOMPARE(statusText(*dialog), QStringLiteral("Cancelled"));
        QVERIFY(!QFile::exists(files.filePath(QStringLiteral("out.txt"))));
        // Gone, or a zombie waiting for whoever adopted it.
        const QString stat = QStringLiteral("/proc/%1/stat").arg(QString::fromLatin1(readTestFile(pidFile).trimmed()));
        QTRY_VERIFY(!QFile::exists(stat) || readTestFile(stat).contains(") Z "));
    }

    void aRunOffTheDialogsThreadSetsTheFormattersRunState() {
        setDialogItemText(*dialog, kSourcePath, writeTestFile(files, QStringLiteral("in.txt"), kGbLine));
        setDialogItemText(*dialog, kDestinationPath, files.filePath(QStringLiteral("out.txt")));
        dialog->onConvert();
        QCOMPARE(dialog->lastRun.source.encoding, "GB");
        QCOMPARE(dialog->lastRun.output.encoding, "BIG5");
    }

    void aLargeOutputIsShownAsAPreviewAndNamedSo() {
        const int lines = int(kPreviewBytes / kGbLine.size()) + 1000;
        const QString destination = files.filePath(QStringLiteral("out.txt"));
        setDialogItemText(*dialog, kSourcePath,
                          writeTestFile(files, QStringLiteral("big.txt"), kGbLine.repeated(lines)));
        setDialogItemText(*dialog, kDestinationPath, destination);
        dialog->onConvert();
        QVERIFY(recorder.messages.empty());
        QCOMPARE(QFileInfo(destination).size(), qint64(lines) * kGbLine.size());  // the file is whole
        QCOMPARE(pane()->blockCount(), int(kPreviewBytes / kGbLine.size()) + 1);  // and an empty last line
        QVERIFY2(statusText(*dialog).endsWith(QStringLiteral("; the pane shows the first 4.2 MB")),
                 qPrintable(statusText(*dialog)));
    }
};

QTEST_MAIN(RunProgressTest)
#include "run_progress_test.moc"
