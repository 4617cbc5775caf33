#include "setting_controls.h"

#include "dialog_controls.h"
#include "encoding_positions.h"

namespace quillon {

using enum SettingControl::Kind;

void showInControl(QWidget& dialog, const SettingControl& control, qint32 value) {
    switch (control.kind) {
        case Number: setDialogItemInt(dialog, control.first, value); break;
        case CheckBox: checkButton(dialog, control.first, value != 0); break;
        case ByRunCheckBox: setCheckBoxState(dialog, control.first, value); break;
        case RadioGroup: checkRadioPosition(dialog, control.first, control.last, value); break;
        case FileSwitch:
            checkRadioPosition(dialog, control.first, control.last, value == 0 ? 0 : 1);
            break;
        case ChoiceBox: selectPosition(dialog, control.first, value); break;
        case OutputBoxes: {
            const OutputItems items = outputItemsAt(value);
            selectPosition(dialog, control.first, items.encoding);
            selectPosition(dialog, control.last, items.form);
            break;
        }
        case None:
        case Text:
        case FileList: break;
    }
}

void showInControl(QWidget& dialog, const SettingControl& control, const QString& value) {
    if (control.kind == Text) setDialogItemText(dialog, control.first, value);
}

void showInControl(QWidget& dialog, const SettingControl& control, const QStringList& value) {
    if (control.kind == FileList) setButtonFiles(dialog, control.first, value);
}

void readFromControl(const QWidget& dialog, const SettingControl& control, qint32& value) {
    switch (control.kind) {
        case Number: value = dialogItemInt(dialog, control.first); break;
        case CheckBox: value = isButtonChecked(dialog, control.first); break;
        case ByRunCheckBox: value = checkBoxState(dialog, control.first); break;
        case RadioGroup: value = checkedRadioPosition(dialog, control.first, control.last); break;
        case FileSwitch: value = isButtonChecked(dialog, control.last); break;
        case ChoiceBox: value = selectedPosition(dialog, control.first); break;
        case OutputBoxes:
            value = outputPositionOf({selectedPosition(dialog, control.first), selectedPosition(dialog, control.last)});
            break;
        case None:
        case Text:
        case FileList: break;
    }
}

void readFromControl(const QWidget& dialog, const SettingControl& control, QString& value) {
    if (control.kind == Text) value = dialogItemText(dialog, control.first);
}

void readFromControl(const QWidget& dialog, const SettingControl& control, QStringList& value) {
    if (control.kind == FileList) value = buttonFiles(dialog, control.first);
}

}  // namespace quillon
