// The main dialog as a user meets it: its controls, groups, keys, Browse,
// Help, the About box and the mapping of its controls onto the engine.
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBrowser>
#include <QtTest>

#include <functional>
#include <memory>

#include "about_dialog.h"
#include "control_ids.h"
#include "dialog_builder.h"
#include "dialog_controls.h"
#include "dialog_template.h"
#include "dialog_units.h"
#include "main_dialog.h"
#include "setting_controls.h"
#include "fresh_settings.h"
#include "recording_hooks.h"

using namespace quillon;
using namespace quillon::control_id;

namespace {

// Radio and check boxes stretch over their whole rectangle; a click must hit
// the indicator at their left to count.
void clickButton(QWidget* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, button->height() / 2));
}

}  // namespace

class MainDialogTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FreshSettings> settings;
    RecordingHooks recorder;
    std::unique_ptr<MainDialog> dialog;

    template <typename T>
    T* controlAs(int id) {
        return qobject_cast<T*>(dialog->control(id));
    }

    void showDialog() {
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    }

private slots:
    void init() {
        settings = std::make_unique<FreshSettings>();
        recorder = RecordingHooks();
        dialog = std::make_unique<MainDialog>(recorder.hooks());
    }
    void cleanup() { dialog.reset(); }

    // The template is the data; what is checked is that every control of it
    // is built, under its id, showing its caption.
    void everyTemplateControlIsBuiltWithItsCaption() {
        const DialogTemplate layout = loadDialogTemplate(MainDialog::kTemplateId);
        QVERIFY(!layout.controls.isEmpty());
        for (const ControlTemplate& c : layout.controls) {
            QWidget* control = dialog->control(c.id);
            QVERIFY2(control, qPrintable(QString::number(c.id)));
            if (c.id == kStatusLine) continue;  // it shows what the dialog last did
            QString shown = c.caption;
            if (auto* button = qobject_cast<QAbstractButton*>(control)) shown = button->text();
            if (auto* label = qobject_cast<QLabel*>(control)) shown = label->text();
            if (auto* box = qobject_cast<QGroupBox*>(control)) shown = box->title();
            QCOMPARE(shown, c.caption);
        }
    }

    void windowMatchesItsTemplate() {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Quillon"));
        QCOMPARE(dialog->sizeHint().height(), DialogUnits(dialog->font()).y(298));
        QVERIFY(dialog->sizeHint().width() >= DialogUnits(dialog->font()).x(420));
        QCOMPARE(dialog->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly).size(),
                 loadDialogTemplate(MainDialog::kTemplateId).controls.size());
        for (auto* button : dialog->findChildren<QPushButton*>()) QVERIFY(!button->isDefault());
        auto* pane = controlAs<QPlainTextEdit>(kOutputPane);
        QVERIFY(pane->isReadOnly());
        QCOMPARE(pane->lineWrapMode(), QPlainTextEdit::NoWrap);
    }

    void encodingBoxesListTheirItemsInOrder() {
        auto items = [](QComboBox* box) {
            QStringList list;
            for (int i = 0; i < box->count(); ++i) list << box->itemText(i);
            return list;
        };
        QCOMPARE(items(controlAs<QComboBox>(kSourceEncoding)), (QStringList{"Auto", "GB", "GBK", "BIG5", "UTF-8"}));
        QCOMPARE(items(controlAs<QComboBox>(kOutputEncoding)),
                 (QStringList{"SAME", "GB", "GBK", "BIG5", "DIFFERENT", "UTF-8"}));
        QCOMPARE(items(controlAs<QComboBox>(kOutputForm)), (QStringList{"Simplified", "Traditional"}));
        for (auto* box : dialog->findChildren<QComboBox*>()) QVERIFY(!box->isEditable());
    }

    // The stored output position, kept as it was when one box listed every
    // choice, is shown as an encoding and, for UTF-8, a form.
    void outputPositionsShowAsEncodingAndForm_data() {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("encoding");
        QTest::addColumn<int>("form");
        QTest::addColumn<bool>("formUsable");
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("outputForm");
        QTest::newRow("SAME") << 0 << 0 << 0 << false << QStringLiteral("same") << QString();
        QTest::newRow("BIG5") << 3 << 3 << 0 << false << QStringLiteral("big5") << QString();
        QTest::newRow("DIFFERENT") << 4 << 4 << 0 << false << QStringLiteral("different") << QString();
        QTest::newRow("UTF-8 simplified") << 5 << 5 << 0 << true << QStringLiteral("utf-8") << QStringLiteral("simplified");
        QTest::newRow("UTF-8 traditional") << 6 << 5 << 1 << true << QStringLiteral("utf-8") << QStringLiteral("traditional");
        QTest::newRow("none") << -1 << -1 << 0 << false << QStringLiteral("same") << QString();
    }
    void outputPositionsShowAsEncodingAndForm() {
        QFETCH(int, position);
        QFETCH(int, encoding);
        QFETCH(int, form);
        QFETCH(bool, formUsable);
        QFETCH(QString, option);
        QFETCH(QString, outputForm);
        showInControl(*dialog, kOutputPositionControl, position);
        QCOMPARE(selectedPosition(*dialog, kOutputEncoding), encoding);
        QCOMPARE(selectedPosition(*dialog, kOutputForm), form);
        QCOMPARE(dialog->control(kOutputForm)->isEnabled(), formUsable);
        qint32 shown = 0;
        readFromControl(*dialog, kOutputPositionControl, shown);
        QCOMPARE(shown, position);
        QCOMPARE(QString::fromStdString(dialog->runOptions().to), option);
        QCOMPARE(QString::fromStdString(dialog->runOptions().form), outputForm);
    }

    // Tab goes down the buttons on the right, then through the window row by
    // row, left to right, and back to the buttons; a group is one stop.
    void tabFollowsTheWindow() {
        showDialog();
        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        QCOMPARE(dialog->focusWidget(), dialog->control(kConvert));
        const int order[] = {kFormat, kQuit, kHelp,
                             kSourceFile, kSourcePath, kBrowseSource, kSourceEncoding,
                             kDestinationFile, kDestinationPath, kBrowseDestination, kOutputEncoding,
                             kCharsPerLine, kLineSpacing, kLeadSpaces, kLeftMargin,
                             kParagraphFirst, kHeadingFirst + 1, kChapterHeadings,
                             kConvertEnglishPunc, kAutoFix, kNaturalSyntax, kHtml, kQuietMode, kPhrases,
                             kRegionalWords, kWordLists, kMixedText, kSpaceBetweenScripts, kLineStartRules,
                             kStandard, kHeadingPattern, kQuoteStyle,
                             kSimplifiedFont, kTraditionalFont, kOutputPane, kConvert};
        for (const int id : order) {
            QTest::keyClick(dialog->focusWidget(), Qt::Key_Tab);
            QVERIFY2(dialog->focusWidget() == dialog->control(id), qPrintable(QString::number(id)));
        }
    }

    // The button that has the focus at the start shows it: Return presses it.
    void theFocusShowsFromTheStart() {
        showDialog();
        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        QWidget* convert = dialog->control(kConvert);
        QCOMPARE(dialog->focusWidget(), convert);
        const QImage focused = convert->grab().toImage();
        dialog->control(kFormat)->setFocus();
        QVERIFY(convert->grab().toImage() != focused);
    }

    void radioGroupsAreExclusiveEachOnItsOwn() {
        showDialog();
        const QList<QList<int>> groups = {
            {1039, 1040}, {1041, 1042}, {1025, 1026, 1027, 1028, 1029}, {1043, 1044, 1045, 1046}};
        for (const auto& group : groups) clickButton(dialog->control(group.first()));
        for (const auto& group : groups) {
            for (int id : group) {
                clickButton(dialog->control(id));
                for (const auto& other : groups) {
                    for (int each : other) {
                        const bool expected = &other == &group ? each == id : each == other.first();
                        QVERIFY2(controlAs<QRadioButton>(each)->isChecked() == expected,
                                 qPrintable(QStringLiteral("%1 after a click on %2").arg(each).arg(id)));
                    }
                }
            }
            clickButton(dialog->control(group.first()));
        }
    }

    // Tab enters each group at its checked button, however that came to be
    // checked (the settings check them from the program), and so does Shift+Tab.
    void tabEntersARadioGroupAtItsCheckedButton() {
        showDialog();
        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        for (int paragraph = kParagraphFirst; paragraph <= kParagraphLast; ++paragraph) {
            const int heading = kHeadingLast - (paragraph - kParagraphFirst) % 4;
            controlAs<QRadioButton>(paragraph)->setChecked(true);
            controlAs<QRadioButton>(heading)->setChecked(true);
            dialog->control(kLeftMargin)->setFocus();
            QTest::keyClick(dialog->focusWidget(), Qt::Key_Tab);
            QCOMPARE(dialog->focusWidget(), dialog->control(paragraph));
            QTest::keyClick(dialog->focusWidget(), Qt::Key_Tab);
            QCOMPARE(dialog->focusWidget(), dialog->control(heading));
            QTest::keyClick(dialog->focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
            QCOMPARE(dialog->focusWidget(), dialog->control(paragraph));
        }
    }

    void clipboardDisablesPathAndBrowseButKeepsThePath() {
        showDialog();
        const struct {
            int clipboard, file, path, browse;
        } pairs[] = {{1039, 1040, 1000, 1004}, {1041, 1042, 1003, 1005}};
        for (const auto& p : pairs) {
            controlAs<QLineEdit>(p.path)->setText(QStringLiteral("/tmp/某文件.txt"));
            clickButton(dialog->control(p.clipboard));
            QVERIFY(!dialog->control(p.path)->isEnabled());
            QVERIFY(!dialog->control(p.browse)->isEnabled());
            QCOMPARE(controlAs<QLineEdit>(p.path)->text(), QStringLiteral("/tmp/某文件.txt"));
            clickButton(dialog->control(p.file));
            QVERIFY(dialog->control(p.path)->isEnabled());
            QVERIFY(dialog->control(p.browse)->isEnabled());
            QCOMPARE(controlAs<QLineEdit>(p.path)->text(), QStringLiteral("/tmp/某文件.txt"));
        }
    }

    void numberFieldsReachTheRunAsTyped_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        QTest::newRow("chars 38") << kCharsPerLine << "38" << 38;
        QTest::newRow("chars abc") << kCharsPerLine << "abc" << 0;
        QTest::newRow("chars empty") << kCharsPerLine << "" << 0;
        QTest::newRow("chars -5") << kCharsPerLine << "-5" << -5;
        QTest::newRow("chars 12abc") << kCharsPerLine << "12abc" << 0;
        QTest::newRow("chars beyond 32 bits") << kCharsPerLine << "4294967296" << 0;
        QTest::newRow("spacing -3") << kLineSpacing << "-3" << -3;
        QTest::newRow("lead 4") << kLeadSpaces << " 4 " << 4;
        QTest::newRow("margin 7") << kLeftMargin << "7" << 7;
    }
    void numberFieldsReachTheRunAsTyped() {
        QFETCH(int, field);
        QFETCH(QString, text);
        QFETCH(int, expected);
        controlAs<QLineEdit>(field)->setText(text);
        const api::Options o = dialog->runOptions();
        const std::optional<std::int32_t> actual = field == kCharsPerLine ? o.charsPerLine
                                                   : field == kLineSpacing ? o.lineSpacing
                                                   : field == kLeadSpaces  ? o.leadSpaces
                                                                           : o.leftMargin;
        QCOMPARE(actual, std::optional(expected));
    }

    void choicesReachTheRun() {
        showDialog();
        clickButton(dialog->control(1029));  // Force
        clickButton(dialog->control(1046));  // Normal
        controlAs<QComboBox>(kSourceEncoding)->setCurrentIndex(3);
        controlAs<QComboBox>(kOutputEncoding)->setCurrentIndex(4);
        controlAs<QCheckBox>(kConvertEnglishPunc)->setChecked(true);
        controlAs<QCheckBox>(kHtml)->setChecked(true);
        controlAs<QCheckBox>(kAutoFix)->setChecked(false);
        api::Options o = dialog->runOptions();
        QCOMPARE(o.paragraph, "force");
        QCOMPARE(o.heading, "normal");
        QCOMPARE(o.from, "big5");
        QCOMPARE(o.to, "different");
        QCOMPARE(o.fullwidthSpaces, true);
        QCOMPARE(o.html, true);
        QCOMPARE(o.autoFix, false);
        QCOMPARE(o.naturalSyntax, false);
        QCOMPARE(dialog->shownSettings().run.quiet, 0);  // the dialog's own: no run is told
        QCOMPARE(o.bom, "drop");  // the dialog offers none

        clickButton(dialog->control(1025));  // Auto Detect
        controlAs<QComboBox>(kSourceEncoding)->setCurrentIndex(0);
        controlAs<QCheckBox>(kQuietMode)->setChecked(true);
        o = dialog->runOptions();
        QCOMPARE(o.paragraph, "auto");
        QCOMPARE(o.from, "auto");
        QCOMPARE(dialog->shownSettings().run.quiet, 1);
    }

    void emptyGroupsAndBoxesRunWithTheFirstStartValues() {
        controlAs<QComboBox>(kSourceEncoding)->setCurrentIndex(-1);
        controlAs<QComboBox>(kOutputEncoding)->setCurrentIndex(-1);
        checkRadioPosition(*dialog, kParagraphFirst, kParagraphLast, -1);
        checkRadioPosition(*dialog, kHeadingFirst, kHeadingLast, 4);
        QVERIFY(!controlAs<QRadioButton>(kHeadingFirst + 1)->isChecked());
        const api::Options o = dialog->runOptions();
        QCOMPARE(o.paragraph, "auto");
        QCOMPARE(o.heading, "middle");
        QCOMPARE(o.from, "auto");
        QCOMPARE(o.to, "same");
    }

    void returnOutsidePushButtonsFormatsAndTheDialogStaysOpen() {
        showDialog();
        controlAs<QLineEdit>(kCharsPerLine)->setText(QStringLiteral("20"));
        auto* outputBox = controlAs<QComboBox>(kOutputEncoding);
        QWidget* targets[] = {dialog->control(kCharsPerLine), outputBox,
                              dialog->control(kSourceEncoding), dialog->control(kHtml)};
        for (QWidget* target : targets) {
            recorder.messages.clear();
            target->setFocus();
            QTest::keyClick(target, Qt::Key_Return);
            QVERIFY(dialog->isVisible());
            // Both path fields are empty, so the run stops at its first check.
            QVERIFY2(recorder.messageTexts() == QStringList{"No source filename is given."},
                     target->metaObject()->className());
            QCOMPARE(recorder.messages[0].caption, QStringLiteral("Error"));
            QCOMPARE(recorder.messages[0].owner, dialog.get());
            QCOMPARE(recorder.messages[0].icon, QMessageBox::NoIcon);
        }

        recorder.messages.clear();
        dialog->control(kOutputPane)->setFocus();
        QTest::keyClick(dialog->control(kOutputPane), Qt::Key_Return);  // the pane keeps it
        QVERIFY(recorder.messages.empty());
    }

    void returnOnAFocusedPushButtonPressesThatButton() {
        showDialog();
        auto* browse = controlAs<QPushButton>(kBrowseSource);
        browse->setFocus();
        QTest::keyClick(browse, Qt::Key_Return);
        QCOMPARE(recorder.fileRequests, QStringList{"open:"});
        QVERIFY(recorder.messages.empty());
    }

    void escapeQuitAndTheCloseBoxEndTheDialog() {
        const std::function<void()> ways[] = {
            [&] { QTest::keyClick(controlAs<QLineEdit>(kSourcePath), Qt::Key_Escape); },
            [&] { controlAs<QPushButton>(kQuit)->click(); },
            [&] { dialog->close(); },
        };
        for (const auto& end : ways) {
            showDialog();
            end();
            QVERIFY(!dialog->isVisible());
            QCOMPARE(dialog->result(), int(QDialog::Rejected));
        }
        QVERIFY(recorder.messages.empty());
    }

    void browseStartsAtTheFieldAndCancelKeepsIt() {
        controlAs<QLineEdit>(kSourcePath)->setText(QStringLiteral("/data/in.txt"));
        controlAs<QLineEdit>(kDestinationPath)->setText(QStringLiteral("/data/out.txt"));
        dialog->onBrowseSource();
        dialog->onBrowseDestination();
        QCOMPARE(recorder.fileRequests, (QStringList{"open:/data/in.txt", "save:/data/out.txt"}));
        QCOMPARE(controlAs<QLineEdit>(kSourcePath)->text(), QStringLiteral("/data/in.txt"));
        QCOMPARE(controlAs<QLineEdit>(kDestinationPath)->text(), QStringLiteral("/data/out.txt"));

        recorder.fileAnswer = QStringLiteral("/data/新.txt");
        dialog->onBrowseSource();
        QCOMPARE(controlAs<QLineEdit>(kSourcePath)->text(), QStringLiteral("/data/新.txt"));
        QCOMPARE(controlAs<QLineEdit>(kDestinationPath)->text(), QStringLiteral("/data/out.txt"));
    }

    void helpOpensThePageBesideTheProgramAtTheDialogsTopic() {
        const QString page = QCoreApplication::applicationDirPath() + QStringLiteral("/main_dialog_test.html");
        QFile::remove(page);
        controlAs<QPushButton>(kHelp)->click();
        QCOMPARE(recorder.messageTexts(), QStringList{"Failed to launch help."});
        QVERIFY(recorder.helpRequests.empty());

        QFile file(page);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        recorder.messages.clear();
        controlAs<QPushButton>(kHelp)->click();
        QFile::remove(page);
        QCOMPARE(recorder.helpRequests.size(), size_t(1));
        QCOMPARE(recorder.helpRequests[0].toLocalFile(), page);
        QCOMPARE(recorder.helpRequests[0].fragment(), QStringLiteral("context-20066"));
        QVERIFY(recorder.messages.empty());

        // Without a browser, the program shows the page itself.
        recorder.helpOpens = false;
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<h1>Quillon</h1>");
        file.close();
        controlAs<QPushButton>(kHelp)->click();
        QFile::remove(page);
        QVERIFY(recorder.messages.empty());
        auto* help = dialog->findChild<QTextBrowser*>();
        QVERIFY(help && help->isVisible() && help->isWindow());
        QCOMPARE(help->source(), recorder.helpRequests.back());
        QCOMPARE(help->toPlainText(), QStringLiteral("Quillon"));
    }

    void systemCommandSixteenWithAnyLowBitsOpensTheAboutBox() {
        const struct {
            unsigned command;
            int boxes;
        } rows[] = {{16, 1}, {17, 1}, {31, 1}, {32, 0}, {0xF060, 0}, {0xF010, 0}};
        for (const auto& r : rows) {
            recorder.aboutBoxes = 0;
            dialog->onSysCommand(r.command);
            QVERIFY2(recorder.aboutBoxes == r.boxes, qPrintable(QString::number(r.command)));
        }
    }

    void aboutBoxShowsNameAndVersionAndClosesOnOk() {
        AboutDialog about;
        QCOMPARE(about.windowTitle(), QStringLiteral("About Quillon"));
        QStringList texts;
        for (auto* label : about.findChildren<QLabel*>()) texts << label->text();
        QVERIFY(texts.contains(QStringLiteral("Quillon Version " QUILLON_VERSION)));
        QVERIFY(about.findChildren<QLabel*>().first()->pixmap().width() > 0);  // the icon
        auto* ok = qobject_cast<QPushButton*>(dialogControl(about, 1));
        QVERIFY(ok && ok->isDefault());
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QTest::keyClick(&about, Qt::Key_Return);
        QVERIFY(!about.isVisible());
        QCOMPARE(about.result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(MainDialogTest)
#include "main_dialog_test.moc"
