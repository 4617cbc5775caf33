// Cancel ends a run in its child process: a file destination the library was
// replacing stays as it was, and nothing is left beside it; a Cancel sent the
// moment the child starts still meets the child's own handler.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine_process.h"
#include "library_run.h"

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
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("out")));
        const QString destination = folder.filePath(QStringLiteral("out/text.txt"));
        {
            QFile old(destination);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("old\n");
        }
        // The source is a pipe that never ends: the run is under way until
        // Cancel comes.
        const QString source = folder.filePath(QStringLiteral("source"));
        QCOMPARE(::mkfifo(QFile::encodeName(source).constData(), 0600), 0);
        const int feed = ::open(QFile::encodeName(source).constData(), O_RDWR | O_NONBLOCK);
        QVERIFY(feed >= 0);
        api::Options options;
        options.from = "gb";
        options.to = "big5";
        EngineProcess process([&](EngineProcess::Report& report) {
            return runThroughLibrary(RunKind::Convert, options, source, destination, report);
        });
        const QDir out(folder.filePath(QStringLiteral("out")));
        const auto files = [&] { return out.entryList(QDir::Files | QDir::Hidden); };
        // 中国 line after line, until the run has its new file beside the old.
        const QByteArray lines = QByteArray("\xD6\xD0\xB9\xFA\r\n").repeated(1024);
        QVERIFY(QTest::qWaitFor(
            [&] {
                (void)!::write(feed, lines.constData(), size_t(lines.size()));
                return files().size() == 2;
            },
            10000));
        process.cancel();
        QVERIFY(QTest::qWaitFor([&] { return process.isFinished(); }, 10000));
        QVERIFY(process.outcome().cancelled);
        ::close(feed);

        QFile result(destination);
        QVERIFY(result.open(QIODevice::ReadOnly));
        QCOMPARE(result.readAll(), QByteArray("old\n"));
        QCOMPARE(files(), QStringList{QStringLiteral("text.txt")});
    }

    void cancelAtTheStartMeetsTheChildsOwnHandler() {
        QTemporaryDir folder;
        const QByteArray mark = folder.filePath(QStringLiteral("mark")).toLocal8Bit();
        std::memcpy(parentHandlerMark, mark.constData(), size_t(mark.size()) + 1);
        struct sigaction ours {};
        struct sigaction previous {};
        ours.sa_handler = markAndEnd;
        ::sigaction(SIGTERM, &ours, &previous);
        for (int i = 0; i < 40; ++i) {
            EngineProcess process([](EngineProcess::Report&) {
                for (;;) ::pause();
                return RunEnd{};
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
