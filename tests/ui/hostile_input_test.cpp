// The dialog against hostile input: paths the engine cannot use, devices in
// place of the destination, and a settings file with extreme, wrong or broken
// values. Each ends with the right box, or none, and nothing changed.
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include "control_ids.h"
#include "dialog_controls.h"
#include "fresh_settings.h"
#include "main_dialog.h"
#include "recording_hooks.h"
#include "test_files.h"

using namespace quillon;
using namespace quillon::control_id;

namespace {

const QByteArray kGbSentence("\xBD\xF1\xCC\xEC\xCC\xEC\xC6\xF8\xBA\xDC\xBA\xC3\xA1\xA3\n");  // 今天天气很好。
const QByteArray kBig5Sentence("\xA4\xB5\xA4\xD1\xA4\xD1\xAE\xF0\xAB\xDC\xA6\x6E\xA1\x43\r\n");

// Every value of the dialog a start restores, as the dialog shows it.
QStringList shownValues(const MainDialog& dialog) {
    QStringList values;
    for (int id : {kSourcePath, kDestinationPath, kCharsPerLine, kLineSpacing, kLeadSpaces, kLeftMargin}) {
        values << dialogItemText(dialog, id);
    }
    for (const auto& [first, last] : {std::pair{kParagraphFirst, kParagraphLast}, {kHeadingFirst, kHeadingLast},
                                      {kSourceClipboard, kSourceFile}, {kDestinationClipboard, kDestinationFile}}) {
        values << QString::number(checkedRadioPosition(dialog, first, last));
    }
    for (int id : {kSourceEncoding, kOutputEncoding}) values << QString::number(selectedPosition(dialog, id));
    for (const FontSetting* font : {&dialog.gbkFont, &dialog.big5Font}) {
        values << font->faceName << QString::number(font->size) << QString::number(font->effects)
               << QString::number(font->charSet);
    }
    return values;
}

}  // namespace

class HostileInputTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FreshSettings> settings;
    QTemporaryDir files;
    RecordingHooks recorder;
    std::unique_ptr<MainDialog> dialog;

    QPlainTextEdit* pane() { return qobject_cast<QPlainTextEdit*>(dialog->control(kOutputPane)); }
    void openDialog() { dialog = std::make_unique<MainDialog>(recorder.hooks()); }
    void writeSettings(const QByteArray& text) {
        QFile file(settings->path());
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
    }
    void setPaths(const QString& source, const QString& destination) {
        setDialogItemText(*dialog, kSourcePath, source);
        setDialogItemText(*dialog, kDestinationPath, destination);
    }

private slots:
    void init() {
        settings = std::make_unique<FreshSettings>();
        recorder = RecordingHooks();
        openDialog();
        QGuiApplication::clipboard()->setText(QStringLiteral("untouched"));
    }
    void cleanup() { dialog.reset(); }

    void anUnusablePathIsTheEnginesErrorAndChangesNothing_data() {
        QTest::addColumn<QString>("source");  // in the test's folder unless absolute
        QTest::addColumn<QString>("destination");
        QTest::addColumn<QString>("message");  // after the destination's path
        QTest::newRow("destination in a missing folder") << "in.txt" << "no/such/out.txt"
                                                         << ": No such file or directory";
        QTest::newRow("/dev/full as destination") << "in.txt" << "/dev/full" << ": No space left on device";
    }
    void anUnusablePathIsTheEnginesErrorAndChangesNothing() {
        QFETCH(QString, source);
        QFETCH(QString, destination);
        QFETCH(QString, message);
        const QDir folder(files.path());
        writeTestFile(files, QStringLiteral("in.txt"), kGbSentence);
        setPaths(folder.filePath(source), folder.filePath(destination));
        pane()->setPlainText(QStringLiteral("earlier output"));
        dialog->onConvert();
        dialog->onFormat();
        QCOMPARE(recorder.messageTexts(), QStringList(2, folder.filePath(destination) + message));
        QCOMPARE(recorder.messages[0].caption, QStringLiteral("Error"));
        QCOMPARE(recorder.messages[1].caption, QStringLiteral("Error"));
        QCOMPARE(readTestFile(folder.filePath(QStringLiteral("in.txt"))), kGbSentence);
        QVERIFY(!folder.exists(QStringLiteral("out.txt")));
        QVERIFY(!folder.exists(QStringLiteral("no")));
        QCOMPARE(pane()->toPlainText(), QStringLiteral("earlier output"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("untouched"));
    }

    // A device takes the output but never gives it back: /dev/zero would
    // fill the pane without end.
    void aDeviceAsDestinationTakesTheOutputAndThePaneStaysAsItWas_data() {
        QTest::addColumn<QString>("destination");
        QTest::newRow("endless") << "/dev/zero";
        QTest::newRow("empty") << "/dev/null";
    }
    void aDeviceAsDestinationTakesTheOutputAndThePaneStaysAsItWas() {
        QFETCH(QString, destination);
        setPaths(writeTestFile(files, QStringLiteral("in.txt"), kGbSentence), destination);
        pane()->setPlainText(QStringLiteral("earlier output"));
        dialog->onFormat();
        QVERIFY(recorder.messages.empty());
        QCOMPARE(pane()->toPlainText(), QStringLiteral("earlier output"));
    }

    // Values no dialog would have stored: it opens with them, runs both
    // commands and saves them, and the next start shows what this one had.
    void extremeStoredValuesOpenRunAndSave_data() {
        QTest::addColumn<QByteArray>("stored");
        const QByteArray face = QByteArray("Face").repeated(250);
        QTest::newRow("1000-character face names")
            << "[General]\nGbkFontName=" + face + "\nBig5FontName=" + face + "\n";
        // Spacing, indent and margin take 0 or more (less is refused before
        // a run), and are not bounded above: at the maximum every paragraph
        // would be gigabytes of blank lines, as asked.
        QTest::newRow("32-bit limits")
            << QByteArray("[General]\nLineChars=2147483647\nLineSpacing=0\n"
                          "LeadingSpaces=0\nLeftMargin=0\n"
                          "GbkFontSize=-2147483648\nGbkFontEffects=-2147483648\nGbkFontCharSet=2147483647\n"
                          "Big5FontSize=2147483647\nBig5FontEffects=2147483647\nBig5FontCharSet=-2147483648\n");
        QTest::newRow("lowest width") << QByteArray("[General]\nLineChars=-2147483648\nGbkFontSize=0\n");
        QTest::newRow("positions out of range")
            << QByteArray("[General]\nparagraph=-2147483648\nHeadingAlignment=2147483647\n"
                          "encoding=-2147483648\nOutputEncoding=2147483647\n"
                          "SrcFromFile=-2147483648\nDetFromFile=2147483647\n");
        QTest::newRow("no numbers")
            << QByteArray("[General]\nLineChars=abc\nLineSpacing=1e3\nLeadingSpaces=0x10\nLeftMargin= \n"
                          "paragraph=two\nencoding=\xE4\xB8\x80\nGbkFontSize=10.5\nBig5FontCharSet=@Invalid()\n");
        QTest::newRow("truncated") << QByteArray("[General]\nLineChars=4\nGbkFontName=\"Noto Sa");
        QTest::newRow("cut in the section name") << QByteArray("[Gene");
        static const char garbage[] = "\xFF\xFE\0\x01[[[]]]\r\r=\n==\nLineChars\n\\\n[General\n\"=\"\n"
                                      "SrcFromFile=0=0\n\x80\x81\xFE\n";
        QTest::newRow("garbage") << QByteArray(garbage, sizeof garbage - 1) + QByteArray(5000, '\x9C');
    }
    void extremeStoredValuesOpenRunAndSave() {
        QFETCH(QByteArray, stored);
        dialog.reset();
        writeSettings(stored);
        openDialog();
        checkRadioPosition(*dialog, kSourceClipboard, kSourceFile, 1);
        checkRadioPosition(*dialog, kDestinationClipboard, kDestinationFile, 1);
        const QString destination = files.filePath(QStringLiteral("out.txt"));
        setPaths(writeTestFile(files, QStringLiteral("in.txt"), kGbSentence), destination);
        dialog->onFormat();
        dialog->onConvert();
        QVERIFY2(recorder.messages.empty(), qPrintable(recorder.messageTexts().join('\n')));
        QCOMPARE(readTestFile(destination), kBig5Sentence);
        QCOMPARE(pane()->toPlainText(), QStringLiteral("今天天氣很好。\n"));
        dialog->show();  // the pane drawn in the stored font
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));

        const QStringList shown = shownValues(*dialog);
        dialog.reset();
        openDialog();
        QCOMPARE(shownValues(*dialog), shown);
    }

    // Paths are kept whole however long; the engine cannot open one longer
    // than the system allows and says so.
    void tenThousandCharacterPathsAreShownRunAndSavedWhole() {
        const QString source = QStringLiteral("/") + QString(9999, QLatin1Char('s'));
        const QString destination = QStringLiteral("/") + QString(9999, QLatin1Char('d'));
        dialog.reset();
        writeSettings("[General]\nSrcFile=" + source.toUtf8() + "\nDetFile=" + destination.toUtf8() + "\n");
        openDialog();
        QCOMPARE(dialogItemText(*dialog, kSourcePath), source);
        QCOMPARE(dialogItemText(*dialog, kDestinationPath), destination);
        dialog->onConvert();
        QCOMPARE(recorder.messageTexts(), QStringList{source + QStringLiteral(": File name too long")});
        QCOMPARE(recorder.messages[0].caption, QStringLiteral("Error"));

        dialog.reset();
        openDialog();
        QCOMPARE(dialogItemText(*dialog, kSourcePath), source);
        QCOMPARE(dialogItemText(*dialog, kDestinationPath), destination);
    }
};

QTEST_MAIN(HostileInputTest)
#include "hostile_input_test.moc"
