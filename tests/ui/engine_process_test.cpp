// Cancel ends a run in its child process: a file destination the run was
// replacing stays as it was, and nothing is left beside it; a Cancel sent the
// moment the child starts still meets the child's own handler.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

#include "engine_process.h"
#include "output_file.h"

namespace quillon {
namespace {

// Where the parent's SIGTERM handler leaves a mark, should it run in a child.
char parentHandlerMark[4096];

extern "C" void markAndEnd(int) {
    ::close(::open(parentHandlerMark, O_WRONLY | O_CREAT, 0600));
    ::_exit(2);
}

}  // namespace

class EngineProcessTest : public QObject {
    Q_OBJECT
private slots:
    void cancelLeavesAFileDestinationAsItWas() {
        QTemporaryDir folder;
        const QString destination = folder.filePath(QStringLiteral("out.txt"));
        {
            QFile old(destination);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("old\n");
        }
        int ready[2];
        QCOMPARE(::pipe(ready), 0);
        const QByteArray path = destination.toLocal8Bit();
        TextFormatter formatter;
        // The run has its new file half written when Cancel comes.
        EngineProcess process(formatter, [&](EngineProcess::Report&) {
            OutputFile output;
            if (output.open(path.constData()) && output.write("new\n", 4)) {
                (void)!::write(ready[1], "x", 1);
            }
            for (;;) ::pause();
            return kSuccess;
        });
        char byte = 0;
        QCOMPARE(::read(ready[0], &byte, 1), ssize_t(1));
        process.cancel();
        QVERIFY(QTest::qWaitFor([&] { return process.isFinished(); }, 10000));
        QVERIFY(process.outcome().cancelled);
        ::close(ready[0]);
        ::close(ready[1]);

        QFile result(destination);
        QVERIFY(result.open(QIODevice::ReadOnly));
        QCOMPARE(result.readAll(), QByteArray("old\n"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("out.txt")});
    }

    void cancelAtTheStartMeetsTheChildsOwnHandler() {
        QTemporaryDir folder;
        const QByteArray mark = folder.filePath(QStringLiteral("mark")).toLocal8Bit();
        std::memcpy(parentHandlerMark, mark.constData(), size_t(mark.size()) + 1);
        struct sigaction ours {};
        struct sigaction previous {};
        ours.sa_handler = markAndEnd;
        ::sigaction(SIGTERM, &ours, &previous);
        TextFormatter formatter;
        for (int i = 0; i < 40; ++i) {
            EngineProcess process(formatter, [](EngineProcess::Report&) {
                for (;;) ::pause();
                return kSuccess;
            });
            process.cancel();
            QVERIFY(QTest::qWaitFor([&] { return process.isFinished(); }, 10000));
            QVERIFY(process.outcome().cancelled);
        }
        ::sigaction(SIGTERM, &previous, nullptr);
        QVERIFY(!QFile::exists(QString::fromLocal8Bit(mark)));
    }
};

}  // namespace quillon

QTEST_MAIN(quillon::EngineProcessTest)
#include "engine_process_test.moc"
