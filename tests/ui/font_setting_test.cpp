#include "font_setting.h"
#include "font_chooser.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QLineEdit>
#include <QtTest>

using quillon::FontSetting;

class FontSettingTest : public QObject {
    Q_OBJECT

private slots:
    void paneFontKeepsTenthsAndEffects_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("effects");
        QTest::addColumn<double>("points");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("italic");
        QTest::newRow("default") << 100 << 0 << 10.0 << false << false;
        QTest::newRow("tenths") << 105 << 0 << 10.5 << false << false;
        QTest::newRow("bold") << 120 << 1 << 12.0 << true << false;
        QTest::newRow("italic") << 90 << 2 << 9.0 << false << true;
        QTest::newRow("bold italic, unknown bits ignored") << 100 << 7 << 10.0 << true << true;
    }
    void paneFontKeepsTenthsAndEffects() {
        QFETCH(int, size);
        QFETCH(int, effects);
        QFETCH(double, points);
        QFETCH(bool, bold);
        QFETCH(bool, italic);
        const QFont font = quillon::paneFont({"Noto Serif CJK SC", size, effects, 134});
        QCOMPARE(font.family(), QString("Noto Serif CJK SC"));
        QCOMPARE(font.pointSizeF(), points);
        QCOMPARE(font.bold(), bold);
        QCOMPARE(font.italic(), italic);
    }

    void chooserOpensAtWholePoints() {
        const QFont font = quillon::chooserInitialFont({"SimSun", 105, 3, 134});
        QCOMPARE(font.pointSizeF(), 10.0);
        QCOMPARE(font.weight(), QFont::Bold);
        QVERIFY(font.italic());
    }

    void choiceToSetting_data() {
        QTest::addColumn<double>("points");
        QTest::addColumn<int>("weight");
        QTest::addColumn<bool>("italic");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("effects");
        QTest::newRow("10.5 pt regular") << 10.5 << int(QFont::Normal) << false << 105 << 0;
        QTest::newRow("semi-bold is not bold") << 12.0 << int(QFont::DemiBold) << false << 120 << 0;
        QTest::newRow("extra-bold is not bold")
            << 12.0 << int(QFont::ExtraBold) << false << 120 << 0;
        QTest::newRow("bold") << 9.0 << int(QFont::Bold) << false << 90 << 1;
        QTest::newRow("italic") << 9.0 << int(QFont::Normal) << true << 90 << 2;
        QTest::newRow("bold italic") << 14.0 << int(QFont::Bold) << true << 140 << 3;
    }
    void choiceToSetting() {
        QFETCH(double, points);
        QFETCH(int, weight);
        QFETCH(bool, italic);
        QFETCH(int, size);
        QFETCH(int, effects);
        QFont chosen("Noto Sans CJK TC");
        chosen.setPointSizeF(points);
        chosen.setWeight(QFont::Weight(weight));
        chosen.setItalic(italic);
        const FontSetting setting = quillon::fontSettingFromChoice(chosen, 136);
        QCOMPARE(setting.faceName, QString("Noto Sans CJK TC"));
        QCOMPARE(setting.size, size);
        QCOMPARE(setting.effects, effects);
        QCOMPARE(setting.charSet, 136);
    }

    void storedFacesResolveToTheirScript() {
        quillon::installCjkFontSubstitutions();
        QCOMPARE(QFontInfo(quillon::paneFont({"SimSun", 100, 0, 134})).family(),
                 QString("Noto Sans Mono CJK SC"));
        QCOMPARE(QFontInfo(quillon::paneFont({"PMingLiu", 100, 0, 136})).family(),
                 QString("Noto Sans Mono CJK TC"));
    }

    // Format counts an ASCII character as half a hanzi; the default faces
    // draw it so, and a right-aligned heading ends where the lines end.
    void defaultFacesDrawAsciiHalfAHanziWide_data() {
        QTest::addColumn<QString>("face");
        QTest::addColumn<int>("charSet");
        QTest::addColumn<QString>("hanzi");
        QTest::newRow("simplified") << "SimSun" << 134 << u"汉"_qs;
        QTest::newRow("traditional") << "PMingLiu" << 136 << u"漢"_qs;
    }
    void defaultFacesDrawAsciiHalfAHanziWide() {
        QFETCH(QString, face);
        QFETCH(int, charSet);
        QFETCH(QString, hanzi);
        quillon::installCjkFontSubstitutions();
        for (int size : {90, 100, 120}) {
            const QFontMetricsF metrics(quillon::paneFont({face, size, 0, charSet}));
            for (const char* ascii : {"a", "M", "i", " ", "1", "."}) {
                QCOMPARE(2 * metrics.horizontalAdvance(QLatin1String(ascii)), metrics.horizontalAdvance(hanzi));
            }
        }
    }

    void theChooserStartsAtTheFaceThePaneShows() {
        quillon::installCjkFontSubstitutions();
        QCOMPARE(quillon::chooserInitialFont({"SimSun", 100, 0, 134}).family(), QString("Noto Sans Mono CJK SC"));
        QCOMPARE(quillon::chooserInitialFont({"PMingLiu", 100, 0, 136}).family(),
                 QString("Noto Sans Mono CJK TC"));
        QCOMPARE(quillon::chooserInitialFont({"Noto Serif CJK TC", 100, 0, 136}).family(),
                 QString("Noto Serif CJK TC"));
    }

    void theChooserListsItsScriptWithAChineseSampleAndNoEffects_data() {
        QTest::addColumn<int>("charSet");
        QTest::addColumn<int>("writingSystem");
        QTest::newRow("simplified") << 134 << int(QFontDatabase::SimplifiedChinese);
        QTest::newRow("traditional") << 136 << int(QFontDatabase::TraditionalChinese);
    }
    void theChooserListsItsScriptWithAChineseSampleAndNoEffects() {
        QFETCH(int, charSet);
        QFETCH(int, writingSystem);
        const FontSetting setting{"Noto Serif CJK SC", 120, 0, charSet};
        const auto system = QFontDatabase::WritingSystem(writingSystem);
        QCOMPARE(quillon::writingSystemOf(setting), system);
        const QFont initial = quillon::chooserInitialFont(setting);
        QFontDialog chooser(initial);
        chooser.setOption(QFontDialog::DontUseNativeDialog);
        quillon::setUpFontChooser(chooser, system);
        chooser.setCurrentFont(initial);
        QStringList shownBoxes;
        for (auto* box : chooser.findChildren<QComboBox*>()) shownBoxes << box->currentText();
        QVERIFY(shownBoxes.contains(QFontDatabase::writingSystemName(system)));
        QStringList samples;
        for (auto* edit : chooser.findChildren<QLineEdit*>()) samples << edit->text();
        QVERIFY2(samples.contains(QFontDatabase::writingSystemSample(system)), qPrintable(samples.join('|')));
        for (auto* box : chooser.findChildren<QCheckBox*>()) QVERIFY(!box->isVisibleTo(&chooser));
        QCOMPARE(chooser.currentFont().family(), QString("Noto Serif CJK SC"));
        QCOMPARE(chooser.currentFont().pointSize(), 12);
    }
};

QTEST_MAIN(FontSettingTest)
#include "font_setting_test.moc"
