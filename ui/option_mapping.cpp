// The option mapping: what every run starts with.
#include <functional>

#include "main_dialog.h"
#include "setting_controls.h"

namespace quillon {

StoredSettings MainDialog::shownSettings() const {
    StoredSettings s;
    forEachSetting([&](const char*, auto field, const SettingControl& control) {
        readFromControl(*this, control, std::invoke(field, s));
    });
    return s;
}

// A radio group with no button checked, or an encoding box without a
// selection, can only come from a stored position out of range or from text
// typed into the output box that names no encoding. The run then takes the
// option's default rather than a value the library does not know.
api::Options MainDialog::runOptions() const {
    const StoredSettings shown = shownSettings();
    return libraryOptions(shown.run, shown.headingPattern);
}

}  // namespace quillon
