#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <optional>

class QWidget;

// Reading and writing the controls of a dialog by id, with the conventions
// the option mapping and the settings share.
namespace quillon {

// The text of an edit field read as a signed decimal number, blanks around
// it aside; none when it is not one (letters, an empty field, a number
// beyond 32 bits).
std::optional<qint32> dialogItemNumber(const QWidget& dialog, int id);
// The same, 0 when it is not a number.
qint32 dialogItemInt(const QWidget& dialog, int id);
void setDialogItemInt(QWidget& dialog, int id, qint32 value);

QString dialogItemText(const QWidget& dialog, int id);
void setDialogItemText(QWidget& dialog, int id, const QString& text);

// 1 when the check box or radio button is checked, else 0.
qint32 isButtonChecked(const QWidget& dialog, int id);
void checkButton(QWidget& dialog, int id, bool checked);
// A three-state check box: 1 checked, 0 unchecked, -1 partly checked.
qint32 checkBoxState(const QWidget& dialog, int id);
void setCheckBoxState(QWidget& dialog, int id, qint32 state);

// Checks the button at `position` among those numbered first to last and
// unchecks the others; a position outside the range leaves all unchecked.
void checkRadioPosition(QWidget& dialog, int first, int last, qint32 position);
// The position of the first checked button of first to last, or -1.
qint32 checkedRadioPosition(const QWidget& dialog, int first, int last);

// The position of a combo box's selected item, or -1 when there is none.
qint32 selectedPosition(const QWidget& dialog, int id);
// Selects the item at `position`; a position without an item leaves none.
void selectPosition(QWidget& dialog, int id, qint32 position);

// The files a push button keeps for the dialog; its tooltip lists them.
QStringList buttonFiles(const QWidget& dialog, int id);
void setButtonFiles(QWidget& dialog, int id, const QStringList& files);

void enableControl(QWidget& dialog, int id, bool enabled);

}  // namespace quillon
