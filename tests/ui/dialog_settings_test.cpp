// What the dialog keeps from one start to the next, and the output pane with
// its two fonts.
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include "control_ids.h"
#include "dialog_controls.h"
#include "setting_controls.h"
#include "fresh_settings.h"
#include "main_dialog.h"
#include "recording_hooks.h"
#include "test_files.h"

using namespace quillon;
using namespace quillon::control_id;

namespace {

// 我们 in GBK and in Big5.
const QByteArray kGbkWomen("\xCE\xD2\xC3\xC7");
const QByteArray kBig5Women("\xA7\xDA\xAD\xCC");

struct Snapshot {
    QStringList texts;
    QList<int> checked;
    int source = 0, output = 0;
    bool operator==(const Snapshot&) const = default;
};

}  // namespace

class DialogSettingsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FreshSettings> settings;
    RecordingHooks recorder;
    std::unique_ptr<MainDialog> dialog;
    QTemporaryDir files;

    template <typename T>
    T* controlAs(int id) {
        return qobject_cast<T*>(dialog->control(id));
    }
    void restart() {
        dialog.reset();
        dialog = std::make_unique<MainDialog>(recorder.hooks());
    }
    QString writeFile(const QString& name, const QByteArray& bytes) { return writeTestFile(files, name, bytes); }
    QPlainTextEdit* pane() { return controlAs<QPlainTextEdit>(kOutputPane); }
    Snapshot snapshot() {
        Snapshot s;
        for (int id : {kSourcePath, kDestinationPath, kCharsPerLine, kLineSpacing, kLeadSpaces, kLeftMargin}) {
            s.texts << controlAs<QLineEdit>(id)->text();
        }
        for (auto* button : dialog->findChildren<QAbstractButton*>()) {
            if (button->isChecked()) s.checked << button->objectName().toInt();
        }
        std::sort(s.checked.begin(), s.checked.end());
        s.source = selectedPosition(*dialog, kSourceEncoding);
        readFromControl(*dialog, kOutputPositionControl, s.output);
        return s;
    }

private slots:
    void init() {
        settings = std::make_unique<FreshSettings>();
        recorder = RecordingHooks();
        dialog = std::make_unique<MainDialog>(recorder.hooks());
    }
    void cleanup() { dialog.reset(); }

    void firstStartShowsTheDefaults() {
        const Snapshot expected{{"", "", "38", "1", "2", "0"},
                                {1018, 1019, 1025, 1040, 1042, 1044, 1054, 1063, 1070, 1072},  // the last three partly
                                0,
                                0};
        QCOMPARE(snapshot(), expected);
        QCOMPARE(controlAs<QComboBox>(kSourceEncoding)->currentText(), QStringLiteral("Auto"));
        QCOMPARE(controlAs<QComboBox>(kOutputEncoding)->currentText(), QStringLiteral("SAME"));
        for (int id : {kSourcePath, kBrowseSource, kDestinationPath, kBrowseDestination}) {
            QVERIFY(dialog->control(id)->isEnabled());
        }
        QCOMPARE(dialog->gbkFont, (FontSetting{"SimSun", 100, 0, 134}));
        QCOMPARE(dialog->big5Font, (FontSetting{"PMingLiu", 100, 0, 136}));
        QCOMPARE(dialog->displayFont, nullptr);
        QVERIFY(recorder.messages.empty());
    }

    void everyValueComesBackAtTheNextStart() {
        controlAs<QRadioButton>(kSourceClipboard)->setChecked(true);
        controlAs<QRadioButton>(kDestinationClipboard)->setChecked(true);
        controlAs<QLineEdit>(kSourcePath)->setText(QStringLiteral("/home/用户/源.txt"));
        controlAs<QLineEdit>(kDestinationPath)->setText(QStringLiteral("/home/用户/目的.txt"));
        const QStringList numbers{"-1", "0", "-7", "2147483647"};
        const int fields[] = {kCharsPerLine, kLineSpacing, kLeadSpaces, kLeftMargin};
        for (int i = 0; i < 4; ++i) controlAs<QLineEdit>(fields[i])->setText(numbers[i]);
        controlAs<QRadioButton>(1028)->setChecked(true);
        controlAs<QRadioButton>(1046)->setChecked(true);
        controlAs<QCheckBox>(kConvertEnglishPunc)->setChecked(false);
        controlAs<QCheckBox>(kAutoFix)->setChecked(false);
        for (int id : {kNaturalSyntax, kHtml, kQuietMode, kPhrases}) {
            controlAs<QCheckBox>(id)->setChecked(true);
        }
        controlAs<QComboBox>(kSourceEncoding)->setCurrentIndex(3);
        showInControl(*dialog, kOutputPositionControl, 6);  // UTF-8, traditional
        dialog->gbkFont = {"Noto Sans CJK SC", 105, 3, 134};
        dialog->big5Font = {"AR PL UMing TW", 240, 2, 136};
        const Snapshot before = snapshot();

        restart();
        QCOMPARE(snapshot(), before);
        QCOMPARE(dialog->gbkFont, (FontSetting{"Noto Sans CJK SC", 105, 3, 134}));
        QCOMPARE(dialog->big5Font, (FontSetting{"AR PL UMing TW", 240, 2, 136}));

        // Stored as the dialog shows them: characters per line, not bytes.
        dialog.reset();
        QSettings stored(settings->path(), QSettings::IniFormat);
        QCOMPARE(stored.value("LineChars").toInt(), -1);
        QCOMPARE(stored.value("SrcFromFile").toInt(), 0);
        QCOMPARE(stored.value("paragraph").toInt(), 3);
        QCOMPARE(stored.value("HeadingAlignment").toInt(), 3);
        QCOMPARE(stored.value("encoding").toInt(), 3);
        QCOMPARE(stored.value("OutputEncoding").toInt(), 6);
    }

    // The first start fits the screen; later ones come back at the size the
    // window was left at.
    void theWindowSizeComesBack() {
        const QRect screen = dialog->screen()->availableGeometry();
        QVERIFY(dialog->height() <= qMax(screen.height(), dialog->minimumSizeHint().height()));
        const QSize size = dialog->minimumSizeHint() + QSize(40, 30);
        dialog->resize(size);
        restart();
        QCOMPARE(dialog->size(), size);
    }

    void clipboardSourceComesBackDisabledStillHoldingItsPath() {
        controlAs<QLineEdit>(kSourcePath)->setText(QStringLiteral("/data/in.txt"));
        controlAs<QRadioButton>(kSourceClipboard)->click();
        restart();
        QVERIFY(controlAs<QRadioButton>(kSourceClipboard)->isChecked());
        QVERIFY(!dialog->control(kSourcePath)->isEnabled());
        QVERIFY(!dialog->control(kBrowseSource)->isEnabled());
        QCOMPARE(controlAs<QLineEdit>(kSourcePath)->text(), QStringLiteral("/data/in.txt"));
        QVERIFY(dialog->control(kDestinationPath)->isEnabled());
        QVERIFY(dialog->control(kBrowseDestination)->isEnabled());
    }

    // The chooser opens on the lists kept, which come back at the next start
    // in their order, whatever their paths hold; cancelling keeps them.
    void wordListsComeBackInTheirOrder_data() {
        QTest::addColumn<QStringList>("lists");
        QTest::newRow("none") << QStringList();
        QTest::newRow("one, with a comma") << QStringList{"/data/词表, 台湾.txt"};
        QTest::newRow("several") << QStringList{"/b/second.txt", "/a/first list.txt", "relative.txt"};
    }
    void wordListsComeBackInTheirOrder() {
        QFETCH(QStringList, lists);
        const QStringList kept{"/kept.txt"};
        recorder.wordListAnswer = kept;
        controlAs<QPushButton>(kWordLists)->click();
        recorder.wordListAnswer = lists;
        controlAs<QPushButton>(kWordLists)->click();
        recorder.wordListAnswer.reset();
        controlAs<QPushButton>(kWordLists)->click();
        QCOMPARE(recorder.wordListRequests, (std::vector<QStringList>{{}, kept, lists}));
        restart();
        QCOMPARE(buttonFiles(*dialog, kWordLists), lists);
        QCOMPARE(dialog->control(kWordLists)->toolTip(), lists.join('\n'));
    }

    void aNumberFieldThatIsNoNumberIsStoredAsZero() {
        controlAs<QLineEdit>(kCharsPerLine)->setText(QStringLiteral("abc"));
        restart();
        QCOMPARE(controlAs<QLineEdit>(kCharsPerLine)->text(), QStringLiteral("0"));
    }

    void longPathsComeBackWhole() {
        const QString path = QStringLiteral("/") + QString(199, QLatin1Char('p'));
        controlAs<QLineEdit>(kSourcePath)->setText(path);
        controlAs<QLineEdit>(kDestinationPath)->setText(path + QStringLiteral("文"));
        restart();
        QCOMPARE(controlAs<QLineEdit>(kSourcePath)->text(), path);
        QCOMPARE(controlAs<QLineEdit>(kDestinationPath)->text(), path + QStringLiteral("文"));
    }

    // Phrases are on for every run until the user unticks them; unticked,
    // legacy runs give the engine's own bytes.
    void phrasesReachEveryRun_data() {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<bool>("ticked");
        QTest::newRow("fresh settings") << QVariant() << true;
        QTest::newRow("stored on") << QVariant(1) << true;
        QTest::newRow("stored off") << QVariant(0) << false;
    }
    void phrasesReachEveryRun() {
        QFETCH(QVariant, stored);
        QFETCH(bool, ticked);
        if (stored.isValid()) {
            dialog.reset();
            QSettings(settings->path(), QSettings::IniFormat).setValue("Phrases", stored);
            restart();
        }
        QCOMPARE(controlAs<QCheckBox>(kPhrases)->isChecked(), ticked);
        QCOMPARE(dialog->runOptions().phrases, std::optional(ticked));
        controlAs<QCheckBox>(kPhrases)->setChecked(!ticked);
        restart();
        QCOMPARE(dialog->runOptions().phrases, std::optional(!ticked));
    }

    // The standard and the regional words are kept and reach the run.
    void standardAndRegionalWordsReachTheRun_data() {
        QTest::addColumn<int>("standard");
        QTest::addColumn<QString>("named");
        QTest::addColumn<bool>("regionalWords");
        QTest::newRow("generic") << 1 << QStringLiteral("generic") << false;
        QTest::newRow("Taiwan with its words") << 2 << QStringLiteral("taiwan") << true;
        QTest::newRow("Hong Kong with its words") << 3 << QStringLiteral("hongkong") << true;
    }
    void standardAndRegionalWordsReachTheRun() {
        QFETCH(int, standard);
        QFETCH(QString, named);
        QFETCH(bool, regionalWords);
        QCOMPARE(dialog->runOptions().standard, "auto");
        QCOMPARE(dialog->runOptions().regionalWords, std::optional(false));
        controlAs<QComboBox>(kStandard)->setCurrentIndex(standard);
        controlAs<QCheckBox>(kRegionalWords)->setChecked(regionalWords);
        restart();
        QCOMPARE(controlAs<QComboBox>(kStandard)->currentIndex(), standard);
        const api::Options options = dialog->runOptions();
        QCOMPARE(QString::fromStdString(options.standard), named);
        QCOMPARE(options.regionalWords, std::optional(regionalWords));
        QCOMPARE(options.opencc, "");
    }

    // Chapter headings, the heading pattern and the quote style are kept and
    // reach the run; chapters are half ticked at the first start, which
    // leaves them to the run.
    void chaptersPatternAndQuotesReachTheRun_data() {
        QTest::addColumn<QVariant>("chapters");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QVariant>("quotes");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("quoteStyle");
        QTest::newRow("fresh settings") << QVariant() << QString() << QVariant() << int(Qt::PartiallyChecked)
                                        << QStringLiteral("keep");
        QTest::newRow("chapters off, curly") << QVariant(0) << QStringLiteral("^卷.$") << QVariant(2)
                                             << int(Qt::Unchecked) << QStringLiteral("curly");
        QTest::newRow("chapters on, corners") << QVariant(1) << QString() << QVariant(1) << int(Qt::Checked)
                                              << QStringLiteral("corner");
    }
    void chaptersPatternAndQuotesReachTheRun() {
        QFETCH(QVariant, chapters);
        QFETCH(QString, pattern);
        QFETCH(QVariant, quotes);
        QFETCH(int, state);
        QFETCH(QString, quoteStyle);
        if (chapters.isValid()) {
            dialog.reset();
            QSettings stored(settings->path(), QSettings::IniFormat);
            stored.setValue("ChapterHeadings", chapters);
            stored.setValue("HeadingPattern", pattern);
            stored.setValue("QuoteStyle", quotes);
            stored.sync();
            restart();
        }
        QCOMPARE(int(controlAs<QCheckBox>(kChapterHeadings)->checkState()), state);
        QCOMPARE(controlAs<QLineEdit>(kHeadingPattern)->text(), pattern);
        api::Options options = dialog->runOptions();
        QCOMPARE(options.chapterHeadings, chapters.isValid() ? std::optional(chapters.toBool()) : std::nullopt);
        QCOMPARE(QString::fromStdString(options.headingPattern), pattern);
        QCOMPARE(QString::fromStdString(options.quotes), quoteStyle);

        // The user's changes are stored when the window goes.
        controlAs<QCheckBox>(kChapterHeadings)->setCheckState(Qt::PartiallyChecked);
        controlAs<QLineEdit>(kHeadingPattern)->setText(QStringLiteral("^第"));
        controlAs<QComboBox>(kQuoteStyle)->setCurrentIndex(1);
        restart();
        options = dialog->runOptions();
        QCOMPARE(options.chapterHeadings, std::nullopt);
        QCOMPARE(options.headingPattern, std::string("^第"));
        QCOMPARE(options.quotes, "corner");
    }

    // Mixed text and the line-start rules start partly checked, as the run
    // suggests; each state is kept and reaches the run.
    void textRulesReachTheRun_data() {
        QTest::addColumn<int>("control");
        QTest::addColumn<int>("state");
        QTest::newRow("mixed text on") << kMixedText << int(Qt::Checked);
        QTest::newRow("mixed text off") << kMixedText << int(Qt::Unchecked);
        QTest::newRow("line-start rules on") << kLineStartRules << int(Qt::Checked);
        QTest::newRow("line-start rules off") << kLineStartRules << int(Qt::Unchecked);
        QTest::newRow("line-start rules by run") << kLineStartRules << int(Qt::PartiallyChecked);
    }
    void textRulesReachTheRun() {
        QFETCH(int, control);
        QFETCH(int, state);
        const auto choiceOf = [&](const api::Options& options) {
            return control == kMixedText ? options.mixedText : options.lineStartRules;
        };
        QCOMPARE(controlAs<QCheckBox>(control)->checkState(), Qt::PartiallyChecked);
        QCOMPARE(choiceOf(dialog->runOptions()), std::nullopt);
        controlAs<QCheckBox>(control)->setCheckState(Qt::CheckState(state));
        restart();
        QCOMPARE(controlAs<QCheckBox>(control)->checkState(), Qt::CheckState(state));
        const std::optional<bool> expected =
            state == Qt::PartiallyChecked ? std::nullopt : std::optional(state == Qt::Checked);
        QCOMPARE(choiceOf(dialog->runOptions()), expected);
    }

    void storedPositionsOutOfRangeCheckAndSelectNothing() {
        dialog.reset();
        {
            QSettings stored(settings->path(), QSettings::IniFormat);
            stored.setValue("paragraph", 5);
            stored.setValue("HeadingAlignment", -1);
            stored.setValue("encoding", 5);
            stored.setValue("OutputEncoding", 2147483647);
            stored.setValue("SrcFromFile", 7);  // any value but 0 is "File"
        }
        dialog = std::make_unique<MainDialog>(recorder.hooks());
        QCOMPARE(snapshot().checked, (QList<int>{1018, 1019, 1040, 1042, 1054, 1063, 1070, 1072}));
        QCOMPARE(selectedPosition(*dialog, kSourceEncoding), -1);
        QCOMPARE(selectedPosition(*dialog, kOutputEncoding), -1);

        const api::Options options = dialog->runOptions();  // runs with the first-start values
        QCOMPARE(options.paragraph, "auto");
        QCOMPARE(options.heading, "middle");
        QCOMPARE(options.from, "auto");
        QCOMPARE(options.to, "same");

        dialog.reset();  // and the empty choices stay empty
        QSettings stored(settings->path(), QSettings::IniFormat);
        for (const char* name : {"paragraph", "HeadingAlignment", "encoding", "OutputEncoding"}) {
            QVERIFY2(stored.value(name).toInt() == -1, name);
        }
        QCOMPARE(stored.value("SrcFromFile").toInt(), 1);
    }

    void nothingIsStoredWhileTheDialogIsOpen() {
        controlAs<QLineEdit>(kSourcePath)->setText(writeFile("in.txt", "plain\n"));
        controlAs<QLineEdit>(kDestinationPath)->setText(files.filePath("out.txt"));
        dialog->onConvert();
        recorder.fontAnswer = QFont(QStringLiteral("Noto Sans CJK SC"), 12);
        dialog->onGbkFont();
        QVERIFY(!QFile::exists(settings->path()));
        dialog.reset();
        QVERIFY(QFile::exists(settings->path()));
    }

    void anUnwritableStoreStartsWithDefaultsAndSaysNothing() {
        dialog.reset();
        qputenv("QUILLON_SETTINGS", files.filePath("no/such/folder/quillon.ini").toLocal8Bit());
        dialog = std::make_unique<MainDialog>(recorder.hooks());
        QCOMPARE(controlAs<QLineEdit>(kCharsPerLine)->text(), QStringLiteral("38"));
        controlAs<QLineEdit>(kCharsPerLine)->setText(QStringLiteral("20"));
        dialog.reset();
        QVERIFY(recorder.messages.empty());
    }

    void outputFollowsTheTargetProfilesScript_data() {
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("font");
        QTest::newRow("GB") << QStringLiteral("GB") << kGbkWomen << QStringLiteral("我们") << QStringLiteral("SimSun");
        QTest::newRow("GBK") << QStringLiteral("GBK") << kGbkWomen << QStringLiteral("我们") << QStringLiteral("SimSun");
        QTest::newRow("BIG5") << QStringLiteral("BIG5") << kBig5Women << QStringLiteral("我們") << QStringLiteral("PMingLiu");
        QTest::newRow("UTF-8, traditional") << QStringLiteral("UTF-8") << QStringLiteral("我們").toUtf8() << QStringLiteral("我們")
                                            << QStringLiteral("PMingLiu");
    }
    void outputFollowsTheTargetProfilesScript() {
        QFETCH(QString, encoding);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(QString, font);
        // The form counts for Unicode text only: a code page has its own script.
        const RunText output = runTextOf(encoding.toStdString(), "traditional");
        dialog->showOutput(writeFile("out.txt", bytes), output);
        QCOMPARE(pane()->toPlainText(), text);
        QCOMPARE(pane()->font().family(), font);
        QCOMPARE(pane()->font().pointSizeF(), 10.0);
        QCOMPARE(dialog->displayFont, output.script == Script::Traditional ? &dialog->big5Font : &dialog->gbkFont);
    }

    void otherProfilesAndUnreadableFilesLeaveThePaneAsItWas() {
        dialog->showOutput(writeFile("shown.txt", kGbkWomen), runTextOf("GBK", "simplified"));
        const QFont shownFont = pane()->font();
        for (const char* encoding : {"", "PureASC", "UTF-32"}) {
            dialog->showOutput(writeFile("ascii.txt", "abc"), runTextOf(encoding, "none"));
        }
        dialog->showOutput(files.filePath("missing.txt"), runTextOf("BIG5", "traditional"));
        QCOMPARE(pane()->toPlainText(), QStringLiteral("我们"));
        QCOMPARE(pane()->font(), shownFont);
        QCOMPARE(dialog->displayFont, &dialog->gbkFont);
    }

    void aCharacterAcrossTheLoadersBlocksShowsWhole() {
        const qsizetype block = 64 * 1024;
        const QByteArray bytes = QByteArray(block - 1, 'a') + kBig5Women;
        dialog->showOutput(writeFile("big.txt", bytes), runTextOf("BIG5", "traditional"));
        QCOMPARE(pane()->toPlainText(), QString(block - 1, QLatin1Char('a')) + QStringLiteral("我們"));
    }

    // The chooser opens at the stand-in for a missing "SimSun"; OK there keeps
    // "SimSun", which the user never changed.
    void okWithoutAChangeStoresNothingNew() {
        installCjkFontSubstitutions();
        const FontSetting stored[] = {dialog->gbkFont, dialog->big5Font};
        recorder.fontAnswer = chooserInitialFont(dialog->gbkFont);
        controlAs<QPushButton>(kSimplifiedFont)->click();
        recorder.fontAnswer = chooserInitialFont(dialog->big5Font);
        controlAs<QPushButton>(kTraditionalFont)->click();
        QCOMPARE(recorder.fontRequests[0].family(), QStringLiteral("Noto Sans Mono CJK SC"));
        QCOMPARE(recorder.fontRequests[1].family(), QStringLiteral("Noto Sans Mono CJK TC"));
        QCOMPARE(recorder.fontWritingSystems,
                 (std::vector{QFontDatabase::SimplifiedChinese, QFontDatabase::TraditionalChinese}));
        QCOMPARE(dialog->gbkFont, stored[0]);
        QCOMPARE(dialog->big5Font, stored[1]);
        QCOMPARE(dialog->gbkFont.faceName, QStringLiteral("SimSun"));
    }

    void fontChoiceStoresWhatTheChooserReports() {
        dialog->gbkFont = {"Noto Sans CJK SC", 105, 0, 134};
        recorder.fontAnswer = std::nullopt;  // cancelled
        controlAs<QPushButton>(kSimplifiedFont)->click();
        QCOMPARE(recorder.fontRequests.size(), size_t(1));
        QCOMPARE(recorder.fontRequests[0].pointSizeF(), 10.0);  // tenths dropped
        QCOMPARE(dialog->gbkFont, (FontSetting{"Noto Sans CJK SC", 105, 0, 134}));

        const struct {
            int weight;
            bool italic;
            qreal points;
            FontSetting expected;
        } rows[] = {
            {QFont::Normal, false, 10.5, {"Noto Sans CJK SC", 105, 0, 134}},
            {QFont::DemiBold, false, 12, {"Noto Sans CJK SC", 120, 0, 134}},
            {QFont::Bold, true, 9, {"Noto Sans CJK SC", 90, 3, 134}},
            {QFont::Black, true, 9, {"Noto Sans CJK SC", 90, 2, 134}},
        };
        for (const auto& r : rows) {
            QFont chosen(QStringLiteral("Noto Sans CJK SC"));
            chosen.setPointSizeF(r.points);
            chosen.setWeight(QFont::Weight(r.weight));
            chosen.setItalic(r.italic);
            recorder.fontAnswer = chosen;
            dialog->onGbkFont();
            QCOMPARE(dialog->gbkFont, r.expected);
        }
        // The last choice opened at the one before it: bold italic, 9 pt.
        QVERIFY(recorder.fontRequests.back().bold() && recorder.fontRequests.back().italic());
        QCOMPARE(recorder.fontRequests.back().pointSize(), 9);
    }

    void aNewFontRestylesThePaneOnlyWhenItShowsThatFont() {
        dialog->showOutput(writeFile("gbk.txt", kGbkWomen), runTextOf("GBK", "simplified"));
        QFont bigger(QStringLiteral("Noto Sans CJK TC"));
        bigger.setPointSize(20);
        recorder.fontAnswer = bigger;
        dialog->onBig5Font();
        QCOMPARE(pane()->font().family(), QStringLiteral("SimSun"));
        QCOMPARE(dialog->big5Font.size, 200);

        dialog->onGbkFont();
        QCOMPARE(pane()->font().family(), QStringLiteral("Noto Sans CJK TC"));
        QCOMPARE(pane()->font().pointSize(), 20);
    }

    void noFontIsAppliedBeforeAnythingIsShown() {
        const QFont before = pane()->font();
        QFont chosen(QStringLiteral("Noto Sans CJK SC"));
        chosen.setPointSize(30);
        recorder.fontAnswer = chosen;
        dialog->onGbkFont();
        dialog->onBig5Font();
        QCOMPARE(pane()->font(), before);
    }
};

QTEST_MAIN(DialogSettingsTest)
#include "dialog_settings_test.moc"
