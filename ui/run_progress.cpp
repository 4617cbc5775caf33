#include "run_progress.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>
#include <QWidget>

#include <vector>

namespace quillon {
namespace {

// Disables the controls that are enabled now, and only those, until it goes.
class ControlsDisabled {
public:
    explicit ControlsDisabled(QWidget& owner) {
        for (QWidget* control : owner.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (!control->isEnabled()) continue;
            control->setEnabled(false);
            disabled_.push_back(control);
        }
    }
    ~ControlsDisabled() {
        for (QWidget* control : disabled_) control->setEnabled(true);
    }
    ControlsDisabled(const ControlsDisabled&) = delete;
    ControlsDisabled& operator=(const ControlsDisabled&) = delete;

private:
    std::vector<QWidget*> disabled_;
};

}  // namespace

const EngineProcess::Outcome& waitForRun(QWidget& owner, EngineProcess& run, const QString& label) {
    if (run.isFinished()) return run.outcome();
    const ControlsDisabled disabled(owner);
    QEventLoop loop;
    QObject::connect(&run, &EngineProcess::finished, &loop, &QEventLoop::quit);

    // A busy indicator: the engine does not tell how far it has come.
    QProgressDialog progress(label, QObject::tr("Cancel"), 0, 0, &owner);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(kProgressDelayMilliseconds);
    progress.setAutoReset(false);
    progress.reset();  // no window of its own until the timer says so
    QObject::connect(&progress, &QProgressDialog::canceled, &run, &EngineProcess::cancel);
    QTimer showLater;
    showLater.setSingleShot(true);
    QObject::connect(&showLater, &QTimer::timeout, &progress, &QProgressDialog::show);
    showLater.start(kProgressDelayMilliseconds);

    loop.exec();
    return run.outcome();
}

}  // namespace quillon
