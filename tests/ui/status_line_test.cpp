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

Q_DECLARE_METATYPE(quillon::RunEnd)

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

    void settingsThatCannotBeWrittenAreSaidNotToBeKept_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("status");
        QTest::newRow("under a file") << "/dev/null/quillon.ini"
                                      << "Settings cannot be kept: /dev/null/quillon.ini: Not a directory";
        QTest::newRow("a folder") << "/tmp" << "Settings cannot be kept: /tmp: Is a directory";
    }
    void settingsThatCannotBeWrittenAreSaidNotToBeKept() {
        QFETCH(QString, path);
        QFETCH(QString, status);
        qputenv("QUILLON_SETTINGS", path.toLocal8Bit());
        dialog = std::make_unique<MainDialog>(recorder.hooks());
        QCOMPARE(statusText(*dialog), status);
    }

    void eachRunSaysWhatItDid_data() {
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<bool>("format");
        QTest::addColumn<bool>("quiet");
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("boxes");
        QTest::newRow("convert") << QByteArray("\xCE\xD2\xC3\xC7\r\n") << false << false
                                 << "GB (simplified) → BIG5 (traditional): done; 6 bytes" << 0;
        // Unicode text is named by its own encoding, with the forms the run took it in.
        QTest::newRow("UTF-8 convert") << QByteArray("我们\n") << false << false
                                       << "UTF-8 (simplified) → UTF-8 (traditional): done; 7 bytes" << 0;
        QTest::newRow("UTF-8 format") << QByteArray("我们。\n") << true << false
                                      << "UTF-8 (simplified) → UTF-8 (simplified): done; 17 bytes" << 0;
        QTest::newRow("UTF-16 convert") << QByteArray("\xFF\xFE\x11\x62\x0A\x00", 6) << false << false
                                        << "UTF-16LE (simplified) → UTF-8 (traditional): done; 4 bytes" << 0;
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

    // A failed run names no encodings: only the failure.
    void anEngineErrorIsTheStatusToo() {
        useFiles(writeTestFile(files, QStringLiteral("in.txt"), "\xCE\xD2\r\n"), files.path());
        dialog->onConvert();
        const QString failure = files.path() + QStringLiteral(": Is a directory");
        QCOMPARE(recorder.messageTexts(), QStringList{failure});
        QCOMPARE(statusText(*dialog), failure);
    }

    void anEmptyClipboardSaysSo() {
        checkRadioPosition(*dialog, kSourceClipboard, kSourceFile, 0);
        checkRadioPosition(*dialog, kDestinationClipboard, kDestinationFile, 0);
        QGuiApplication::clipboard()->setText(QString());
        dialog->onConvert();
        QCOMPARE(statusText(*dialog), QStringLiteral("The clipboard text is empty: there is nothing to convert or format."));
        QVERIFY(recorder.messages.empty());
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
        run.source = runTextOf("BIG5", "traditional");
        run.output = runTextOf("GB", "simplified");
        run.outputBytes = 12'000'000;
        run.elapsedMilliseconds = 1250;
        run.pane = PaneExtent{4'194'304, 12'000'000};
        QCOMPARE(describeRun(run), QStringLiteral("BIG5 (traditional) → GB (simplified): done; 12.0 MB in 1.25 s; "
                                                  "the pane shows the first 4.2 MB"));
    }

    // Each way a run can end, those no test file brings about included.
    void eachEndIsWorded_data() {
        using Error = api::Error::Kind;
        using Warning = api::Warning::Kind;
        QTest::addColumn<RunEnd>("end");
        QTest::addColumn<QString>("status");
        const QString done = QStringLiteral("BIG5 (traditional) → UTF-16BE (simplified): ");
        QTest::newRow("done") << RunEnd{} << done + "done; 5 bytes";
        QTest::newRow("invalid codes") << RunEnd{std::nullopt, Warning::InvalidCode}
                                       << done + "done with invalid characters replaced by □; 5 bytes";
        QTest::newRow("HTML aborted") << RunEnd{std::nullopt, Warning::HtmlAborted}
                                      << done + "done; HTML handling aborted at invalid syntax; 5 bytes";
        QTest::newRow("out of memory") << RunEnd{Error::OutOfMemory, std::nullopt}
                                       << QString::fromStdString(api::messageOf(Error::OutOfMemory)->text);
        QTest::newRow("scratch file") << RunEnd{Error::ScratchFile, std::nullopt}
                                      << QString::fromStdString(api::messageOf(Error::DestinationUnwritable)->text);
        QTest::newRow("refused options") << RunEnd{Error::BadOption, std::nullopt} << QStringLiteral("failed");
    }
    void eachEndIsWorded() {
        QFETCH(RunEnd, end);
        QFETCH(QString, status);
        RunSummary run;
        run.source = runTextOf("BIG5", "traditional");
        run.output = runTextOf("UTF-16BE", "simplified");
        run.result = end;
        run.outputBytes = 5;
        run.pane = PaneExtent{5, 5};
        QCOMPARE(describeRun(run).replace(QRegularExpression(QStringLiteral(" in [0-9.]+ s")), QString()), status);
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
