// The status line under the pane: where the settings live at the start, and
// after each run its encodings, its result in words, size and time, and how
// much of the output the pane shows.
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include "control_ids.h"
#include "dialog_controls.h"
#include "fresh_settings.h"
#include "main_dialog.h"
#include "recording_hooks.h"
#include "run_summary.h"
#include "status_line.h"
#include "test_files.h"

using namespace quillon;
using namespace quillon::control_id;

class StatusLineTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FreshSettings> settings;
    QTemporaryDir files;
    RecordingHooks recorder;
    std::unique_ptr<MainDialog> dialog;

    void useFiles(const QString& source, const QString& destination) {
        checkRadioPosition(*dialog, kSourceClipboard, kSourceFile, 1);
        checkRadioPosition(*dialog, kDestinationClipboard, kDestinationFile, 1);
        setDialogItemText(*dialog, kSourcePath, source);
        setDialogItemText(*dialog, kDestinationPath, destination);
    }
    // The status without its timing, which no test can pin.
    QString statusWithoutTime() {
        return statusText(*dialog).replace(QRegularExpression(QStringLiteral(" in [0-9.]+ s")), QString());
    }

private slots:
    void init() {
        settings = std::make_unique<FreshSettings>();
        recorder = RecordingHooks();
        dialog = std::make_unique<MainDialog>(recorder.hooks());
    }
    void cleanup() { dialog.reset(); }

    void theStartSaysWhereTheSettingsLive() {
        QCOMPARE(statusText(*dialog), QStringLiteral("Settings are kept in ") + settings->path());
    }

    void eachRunSaysWhatItDid_data() {
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<bool>("format");
        QTest::addColumn<bool>("quiet");
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("boxes");
        QTest::newRow("convert") << QByteArray("\xCE\xD2\xC3\xC7\r\n") << false << false
                                 << "GB (simplified) → BIG5 (traditional): done; 6 bytes" << 0;
        QTest::newRow("plain ASCII format") << QByteArray("just ASCII.\n") << true << false
                                            << "plain ASCII: nothing to format" << 0;
        QTest::newRow("plain ASCII convert")
            << QByteArray("just ASCII.\n") << false << false
            << "plain ASCII → plain ASCII: done; 13 bytes; the pane keeps what it showed" << 0;
        // 我们あ: Big5 has no kana, so it is replaced, with a box unless quiet.
        const QByteArray kana("\xCE\xD2\xC3\xC7\xA4\xA2\r\n");
        const QString replaced = QStringLiteral(
            "GB (simplified) → BIG5 (traditional): done with unconvertible characters replaced by □; 8 bytes");
        QTest::newRow("warning") << kana << false << false << replaced << 1;
        QTest::newRow("warning, quiet") << kana << false << true << replaced << 0;
    }
    void eachRunSaysWhatItDid() {
        QFETCH(QByteArray, source);
        QFETCH(bool, format);
        QFETCH(bool, quiet);
        QFETCH(QString, status);
        QFETCH(int, boxes);
        useFiles(writeTestFile(files, QStringLiteral("in.txt"), source), files.filePath(QStringLiteral("out.txt")));
        checkButton(*dialog, kQuietMode, quiet);
        format ? dialog->onFormat() : dialog->onConvert();
        QCOMPARE(statusWithoutTime(), status);
        QCOMPARE(int(recorder.messages.size()), boxes);
    }

    void anEngineErrorIsTheStatusToo() {
        useFiles(files.filePath(QStringLiteral("missing.txt")), files.filePath(QStringLiteral("out.txt")));
        dialog->onConvert();
        QCOMPARE(recorder.messageTexts(), QStringList{"Unable to open source file"});
        QCOMPARE(statusText(*dialog), QStringLiteral("Unable to open source file"));
    }

    void timeIsShownInSeconds() {
        useFiles(writeTestFile(files, QStringLiteral("in.txt"), "\xCE\xD2\r\n"), files.filePath("out.txt"));
        dialog->onConvert();
        QVERIFY2(QRegularExpression(QStringLiteral("; 4 bytes in [0-9]+\\.[0-9]{2} s$"))
                     .match(statusText(*dialog))
                     .hasMatch(),
                 qPrintable(statusText(*dialog)));
    }

    void aCutPreviewIsNamed() {
        RunSummary run;
        run.sourceProfileId = 3;
        run.targetProfileId = 1;
        run.outputBytes = 12'000'000;
        run.elapsedMilliseconds = 1250;
        run.pane = PaneExtent{4'194'304, 12'000'000};
        QCOMPARE(describeRun(run), QStringLiteral("BIG5 (traditional) → GB (simplified): done; 12.0 MB in 1.25 s; "
                                                  "the pane shows the first 4.2 MB"));
    }

    void aLongStatusIsCutWithAnEllipsisButKeptWhole() {
        const QString longText = QStringLiteral("x").repeated(2000);
        showStatus(*dialog, longText);
        QCOMPARE(statusText(*dialog), longText);
        auto* label = qobject_cast<QLabel*>(dialog->control(kStatusLine));
        QVERIFY(label->text().endsWith(QChar(0x2026)));
        QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= label->width());
    }
};

QTEST_MAIN(StatusLineTest)
#include "status_line_test.moc"
