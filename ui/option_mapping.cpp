// The option mapping: what every run starts with.
#include <type_traits>

#include "encoding_positions.h"
#include "main_dialog.h"
#include "setting_controls.h"

namespace quillon {

// A radio group with no button checked, or an encoding box without a
// selection, can only come from a stored position out of range or from text
// typed into the output box that names no encoding. The run then takes the
// option's first-start value rather than a number the engine does not know.
unicode::EdgeRunOptions MainDialog::runOptions() const {
    unicode::EdgeRunOptions options;
    forEachSetting([&]<typename Field>(const char*, Field field, const SettingControl& control) {
        if constexpr (std::is_same_v<Field, RunOption> || std::is_same_v<Field, EdgeChoice>) {
            qint32 value = 0;
            readFromControl(*this, control, value);
            if (control.showsPosition() && value < 0) return;
            if constexpr (std::is_same_v<Field, RunOption>) {
                options.*field.option = value;
            } else {
                options.*field.choice = value;
            }
        } else if constexpr (std::is_same_v<Field, EdgeText>) {
            QString text;
            readFromControl(*this, control, text);
            options.*field.choice = text.toStdString();
        }
    });
    // The boxes' Unicode entries follow the engine's values in their lists;
    // the output's also name the form, and none writes a byte-order mark.
    const unicode::EdgeChoices positionChoices = edgeChoicesAt(options.outputEncoding);
    options.form = positionChoices.form;
    options.byteOrderMark = positionChoices.byteOrderMark;
    options.sourceEncoding = sourceEncodingAt(options.sourceEncoding);
    options.outputEncoding = outputEncodingAt(options.outputEncoding);
    return options;
}

}  // namespace quillon
