#include "temporary_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>
#include <utility>

using quillon::TemporaryFile;

class TemporaryFileTest : public QObject {
    Q_OBJECT

private slots:
    void anEmptyFileWithThePrefixInTheTemporaryFolder() {
        QString path;
        {
            TemporaryFile file;
            QVERIFY2(file.isValid(), qPrintable(file.errorString()));
            path = file.path();
            const QFileInfo info(path);
            QVERIFY(info.fileName().startsWith("QLX"));
            QCOMPARE(info.fileName().size(), 9);
            QCOMPARE(info.absolutePath(), QDir(QDir::tempPath()).absolutePath());
            QVERIFY(info.isFile());
            QCOMPARE(info.size(), 0);
        }
        QVERIFY(!QFile::exists(path));
    }

    void everyFileHasItsOwnName() {
        TemporaryFile first;
        TemporaryFile second;
        QVERIFY(first.isValid() && second.isValid());
        QVERIFY(first.path() != second.path());
    }

    void movingHandsOverTheFile() {
        TemporaryFile original;
        const QString path = original.path();
        TemporaryFile moved(std::move(original));
        QCOMPARE(moved.path(), path);
        QVERIFY(!original.isValid());

        TemporaryFile other;
        const QString otherPath = other.path();
        other = std::move(moved);
        QVERIFY(!QFile::exists(otherPath));  // the file it held goes
        QCOMPARE(other.path(), path);
        QVERIFY(QFile::exists(path));
    }

    void anUnusableTemporaryFolderIsReported_data() {
        QTest::addColumn<QByteArray>("folder");
        QTest::addColumn<QString>("error");
        QTest::newRow("missing")
            << QByteArray("/nonexistent-quillon-folder")
            << "Cannot create a temporary file: the temporary folder does not exist";
        QTest::newRow("not a folder")
            << QByteArray("/dev/null")
            << "Cannot create a temporary file in /dev/null: Not a directory";
    }
    void anUnusableTemporaryFolderIsReported() {
        QFETCH(QByteArray, folder);
        QFETCH(QString, error);
        const bool wasSet = qEnvironmentVariableIsSet("TMPDIR");
        const QByteArray saved = qgetenv("TMPDIR");
        qputenv("TMPDIR", folder);
        TemporaryFile file;
        if (wasSet)
            qputenv("TMPDIR", saved);
        else
            qunsetenv("TMPDIR");
        QVERIFY(!file.isValid());
        QCOMPARE(file.path(), QString());
        QCOMPARE(file.errorString(), error);
    }
};

QTEST_MAIN(TemporaryFileTest)
#include "temporary_file_test.moc"
