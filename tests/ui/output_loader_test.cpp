#include "output_loader.h"

#include <QPlainTextEdit>
#include <QtTest>

#include "temp_files.h"

using quillon::testing::TempDir;
using quillon::testing::writeFile;

class OutputLoaderTest : public QObject {
    Q_OBJECT

private slots:
    // The odd first byte puts a character across every 64 KiB block boundary.
    void aLongFileShowsExactly_data() {
        QTest::addColumn<QString>("converter");
        QTest::addColumn<QByteArray>("character");
        QTest::addColumn<QString>("shown");
        QTest::newRow("GBK") << "GBK" << QByteArray("\xB9\xFA") << u"国"_qs;
        QTest::newRow("Big5") << "Big5" << QByteArray("\xB0\xEA") << u"國"_qs;
    }
    void aLongFileShowsExactly() {
        QFETCH(QString, converter);
        QFETCH(QByteArray, character);
        QFETCH(QString, shown);
        const int count = 70000;
        const QByteArray bytes = "a" + character.repeated(count) + "\r\nend";
        QVERIFY(bytes.size() > 2 * 64 * 1024);
        TempDir dir;
        writeFile(dir.file("out.txt"), bytes.toStdString());

        QPlainTextEdit pane;
        pane.setPlainText("before");
        QVERIFY(quillon::loadOutput(pane, QString::fromStdString(dir.file("out.txt")),
                                    converter.toLatin1().constData()));
        QCOMPARE(pane.toPlainText(), "a" + shown.repeated(count) + "\nend");
    }

    // However large the output, the pane takes no more than its limit, cut
    // after the last whole line.
    void aLargeFileShowsItsFirstWholeLinesOnly() {
        TempDir dir;
        const QByteArray line("\xB9\xFA\xB9\xFA\r\n");  // 国国, 6 bytes
        writeFile(dir.file("out.txt"), line.repeated(1000).toStdString());
        QPlainTextEdit pane;
        const auto extent =
            quillon::loadOutput(pane, QString::fromStdString(dir.file("out.txt")), "GBK", 6 * 10 + 3);
        QVERIFY(extent);
        QCOMPARE(extent->shownBytes, 63);
        QCOMPARE(extent->fileBytes, 6000);
        QVERIFY(!extent->whole());
        QCOMPARE(pane.toPlainText(), u"国国\n"_qs.repeated(10));
    }

    void anEmptyFileEmptiesThePane() {
        TempDir dir;
        writeFile(dir.file("empty.txt"), "");
        QPlainTextEdit pane;
        pane.setPlainText("before");
        QVERIFY(quillon::loadOutput(pane, QString::fromStdString(dir.file("empty.txt")), "GBK"));
        QCOMPARE(pane.toPlainText(), QString());
    }

    void aFileThatCannotBeOpenedLeavesThePaneAlone() {
        TempDir dir;
        QPlainTextEdit pane;
        pane.setPlainText(u"之前"_qs);
        QVERIFY(!quillon::loadOutput(pane, QString::fromStdString(dir.file("missing.txt")), "GBK"));
        QVERIFY(!quillon::loadOutput(pane, QString::fromStdString(dir.path().string()), "GBK"));
        QCOMPARE(pane.toPlainText(), u"之前"_qs);
    }
};

QTEST_MAIN(OutputLoaderTest)
#include "output_loader_test.moc"
