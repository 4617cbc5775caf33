// A signal in the middle of a clipboard run: the temporary files go before the
// program ends, and the program still ends by that signal.
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

#include <sys/wait.h>
#include <unistd.h>

#include "temporary_file.h"
#include "temporary_file_cleanup.h"

class TemporaryFileCleanupTest : public QObject {
    Q_OBJECT

    QTemporaryDir folder;

    QStringList leftovers() const {
        return QDir(folder.path()).entryList({QStringLiteral("QLX*")}, QDir::Files | QDir::Hidden);
    }

private slots:
    void initTestCase() { qputenv("TMPDIR", folder.path().toLocal8Bit()); }

    void aSignalRemovesTheLiveFilesAndEndsTheProgram_data() {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGHUP") << SIGHUP;
    }
    void aSignalRemovesTheLiveFilesAndEndsTheProgram() {
        QFETCH(int, signalNumber);
        int ready[2];
        QCOMPARE(::pipe(ready), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            quillon::installTemporaryFileCleanup();
            // More files than the list holds at once, each removed and
            // unlisted before the signal: their places are free again.
            for (int i = 0; i < 20; ++i) quillon::TemporaryFile gone;
            quillon::TemporaryFile source;
            quillon::TemporaryFile destination;
            const char byte = source.isValid() && destination.isValid() ? 1 : 0;
            (void)!::write(ready[1], &byte, 1);
            ::pause();
            ::_exit(0);  // only if the signal did not end the program
        }
        char byte = 0;
        QCOMPARE(::read(ready[0], &byte, 1), ssize_t(1));
        QCOMPARE(byte, char(1));
        QCOMPARE(leftovers().size(), 2);
        ::kill(child, signalNumber);
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFSIGNALED(status));
        QCOMPARE(WTERMSIG(status), signalNumber);
        QCOMPARE(leftovers(), QStringList());
        ::close(ready[0]);
        ::close(ready[1]);
    }
};

QTEST_GUILESS_MAIN(TemporaryFileCleanupTest)
#include "temporary_file_cleanup_test.moc"
