#include "engine_process.h"

#include <QMetaObject>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <utility>

#include <fcntl.h>

#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <quillon/quillon.h>

namespace quillon {
namespace {

// The texts' encoding names point at static data, which has the same address
// in the child, a copy of this process. The source's error is UTF-8, cut to fit.
struct ChildReport {
    RunEnd result;
    RunText source;
    RunText output;
    qint32 systemError;
    qint64 endMarkOffset;
    qint64 sourceReplacements;
    bool sourceEmpty;
    char sourceError[512];
};

// Signals arrive from `parentMask` on: a Cancel sent the moment the child
// starts waits until the child's own handler is in place, instead of running
// the parent's handler in the child.
[[noreturn]] void runInChild(const EngineProcess::Run& run, int reportPipe, pid_t parent, const sigset_t& parentMask) {
    // The parent removes its own temporary files; the child has the library
    // remove the unfinished destination it was writing when Cancel, or any
    // other signal that ends it, comes.
    api::catchEndingSignals([](int) {
        api::removeUnfinishedOutputs();
        ::_exit(1);
    });
    // Nor does a run outlive the dialog: the files it would go on to write
    // are the ones the dialog removed as it ended.
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (::getppid() != parent) ::_exit(1);
    ::pthread_sigmask(SIG_SETMASK, &parentMask, nullptr);
    EngineProcess::Report runReport;
    const RunEnd result = run(runReport);
    ChildReport report{result, runReport.source, runReport.output, runReport.systemError,
                       runReport.endMarkOffset, runReport.sourceReplacements, runReport.sourceEmpty, {}};
    const QByteArray error = runReport.sourceError.toUtf8().left(sizeof report.sourceError - 1);
    std::memcpy(report.sourceError, error.constData(), size_t(error.size()));
    const bool sent = ::write(reportPipe, &report, sizeof report) == ssize_t(sizeof report);
    // No destructors, no atexit handlers and no flushing of the parent's
    // buffers: they belong to the parent.
    ::_exit(sent ? 0 : 1);
}

}  // namespace

EngineProcess::EngineProcess(const Run& run) {
    int report[2];
    if (::pipe2(report, O_CLOEXEC) == 0) {
        sigset_t all;
        sigset_t parentMask;
        ::sigfillset(&all);
        ::pthread_sigmask(SIG_SETMASK, &all, &parentMask);
        const pid_t parent = ::getpid();
        child_ = ::fork();
        if (child_ == 0) {
            ::close(report[0]);
            runInChild(run, report[1], parent, parentMask);
        }
        ::pthread_sigmask(SIG_SETMASK, &parentMask, nullptr);
        ::close(report[1]);
        if (child_ > 0) {
            waiter_ = std::thread([this, fd = report[0]] { waitForChild(fd); });
            return;
        }
        ::close(report[0]);
    }
    Report here;
    const RunEnd result = run(here);
    outcome_ = {result, std::move(here), false, false};
    finished_ = true;
}

EngineProcess::~EngineProcess() {
    cancel();
    if (waiter_.joinable()) waiter_.join();
}

void EngineProcess::cancel() {
    if (child_ <= 0 || finished_) return;
    cancelRequested_ = true;
    if (!reaped_) ::kill(child_, SIGTERM);
}

// On the waiter thread: the report, or nothing when the child was ended.
void EngineProcess::waitForChild(int reportPipe) {
    ChildReport report{};
    ssize_t got = 0;
    while (got < ssize_t(sizeof report)) {
        const ssize_t n = ::read(reportPipe, reinterpret_cast<char*>(&report) + got, sizeof report - size_t(got));
        if (n > 0) {
            got += n;
        } else if (n == 0 || errno != EINTR) {
            break;
        }
    }
    ::close(reportPipe);
    int status = 0;
    while (::waitpid(child_, &status, 0) < 0 && errno == EINTR) {
    }
    reaped_ = true;
    const bool reported = got == ssize_t(sizeof report);
    QMetaObject::invokeMethod(
        this,
        [this, reported, report] {
            outcome_.cancelled = !reported && cancelRequested_;
            outcome_.failed = !reported && !cancelRequested_;
            if (reported) {
                outcome_.result = report.result;
                Report& told = outcome_.report;
                told.source = report.source;
                told.output = report.output;
                told.systemError = report.systemError;
                told.endMarkOffset = report.endMarkOffset;
                told.sourceReplacements = qsizetype(report.sourceReplacements);
                told.sourceError = QString::fromUtf8(report.sourceError);
                told.sourceEmpty = report.sourceEmpty;
            }
            finished_ = true;
            emit finished();
        },
        Qt::QueuedConnection);
}

}  // namespace quillon
