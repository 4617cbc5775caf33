#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include "settings_table.h"

class QWidget;

namespace quillon {

// Shows a stored value in its control. Positions are not range-checked: one
// outside its group checks no button, one outside its box selects nothing.
void showInControl(QWidget& dialog, const SettingControl& control, qint32 value);
void showInControl(QWidget& dialog, const SettingControl& control, const QString& value);
void showInControl(QWidget& dialog, const SettingControl& control, const QStringList& value);

// The value a control shows, as it is stored; an empty radio group or
// encoding box reads -1. A value without a control is left as it is.
void readFromControl(const QWidget& dialog, const SettingControl& control, qint32& value);
void readFromControl(const QWidget& dialog, const SettingControl& control, QString& value);
void readFromControl(const QWidget& dialog, const SettingControl& control, QStringList& value);

}  // namespace quillon
