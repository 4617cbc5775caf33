// The option mapping: what every run starts with.
#include <functional>

#include "main_dialog.h"
#include "setting_controls.h"

namespace quillon {

// A radio group with no button checked, or an encoding box without a
// selection, can only come from a stored position out of range or from text
// typed into the output box that names no encoding. The run then takes the
// option's first-start value rather than a number the engine does not know.
void MainDialog::applyOptions() {
    RunOptions options;
    forEachSetting([&](const char*, auto, const SettingControl& control) {
        if (control.option == nullptr) return;
        qint32 value = 0;
        readFromControl(*this, control, value);
        const bool position =
            control.kind == SettingControl::Kind::RadioGroup || control.kind == SettingControl::Kind::ChoiceBox;
        if (!(position && value < 0)) options.*control.option = value;
    });
    quillon::applyOptions(options, *formatter);
}

}  // namespace quillon
