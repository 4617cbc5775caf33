#pragma once

#include <QString>

#include "engine_process.h"

class QWidget;

namespace quillon {

// A run lasting longer than this shows its progress box.
inline constexpr int kProgressDelayMilliseconds = 500;

// Waits for `run` to finish while the window keeps repainting. After
// kProgressDelayMilliseconds a box over `owner` says `label` and offers
// Cancel, which ends the run. Every enabled control of `owner` is disabled
// meanwhile and enabled again afterwards.
const EngineProcess::Outcome& waitForRun(QWidget& owner, EngineProcess& run, const QString& label);

}  // namespace quillon
