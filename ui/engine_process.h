#pragma once

#include <QObject>
#include <QString>

#include <sys/types.h>

#include <atomic>
#include <functional>
#include <optional>
#include <thread>

#include <quillon/quillon.h>

#include "run_text.h"

namespace quillon {

// How a run ended, in the library's terms: failed with an error (nothing
// usable written), or complete, with the last warning it gave of those a box
// tells; neither is a plain success.
struct RunEnd {
    std::optional<api::Error::Kind> error;
    std::optional<api::Warning::Kind> warning;
    bool operator==(const RunEnd&) const = default;
};

// One engine run in a child process of its own. The dialog's thread stays
// free to repaint, and Cancel ends the run at once, wherever the engine is:
// the engine has no way to stop a run from outside, but a process can be
// ended. The child starts as a copy of this process, so `run` takes its
// options and files exactly as they are here.
class EngineProcess : public QObject {
    Q_OBJECT
public:
    // What a run tells besides its result.
    struct Report {
        // The texts the run read and wrote; none told before it ran.
        RunText source;
        RunText output;
        // errno of a failure over a file; 0 where the system was not asked.
        int systemError = 0;
        qint64 endMarkOffset = -1;  // a byte 1A there ended the text
        // Characters lost on the source's way into a code page before the run.
        qsizetype sourceReplacements = 0;
        // Why the source could not be prepared for the run, or why the
        // library refused the run's options; empty when neither.
        QString sourceError;
        // The clipboard's text was empty: nothing ran.
        bool sourceEmpty = false;
    };
    // The run itself, filling in its report; called in the child.
    using Run = std::function<RunEnd(Report& report)>;

    struct Outcome {
        RunEnd result;
        Report report;
        bool cancelled = false;  // cancel() ended it
        bool failed = false;     // it ended without a result, not by cancel()
    };

    // Starts the run. When no process can be started, the run happens here
    // and now, and is finished when this returns.
    explicit EngineProcess(const Run& run);
    // Ends a run still going, as cancel() does, and waits for it.
    ~EngineProcess() override;
    EngineProcess(const EngineProcess&) = delete;
    EngineProcess& operator=(const EngineProcess&) = delete;

    // Ends the run; finished() follows with a cancelled outcome.
    void cancel();
    bool isFinished() const { return finished_; }
    // Valid once finished: the report as the run filled it in, as if it had
    // happened in this process.
    const Outcome& outcome() const { return outcome_; }

signals:
    // On the thread that made this object, once per run.
    void finished();

private:
    void waitForChild(int resultPipe);

    pid_t child_ = -1;
    std::atomic<bool> reaped_{false};  // the child's id may be reused from then on
    bool cancelRequested_ = false;
    std::thread waiter_;
    Outcome outcome_;
    bool finished_ = false;
};

}  // namespace quillon
