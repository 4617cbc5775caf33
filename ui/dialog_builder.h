#pragma once

#include <QIcon>

#include "dialog_template.h"

class QDialog;
class QWidget;

namespace quillon {

// Creates the controls of a template as children of `dialog`, in template
// order, which is also the tab order. Each control's objectName is its id.
// Radio buttons from one group start to the next form one exclusive group,
// and a label's mnemonic focuses its buddy. The window gets the template's
// caption and size; it can be resized and maximised when the template gives
// a minimum size. Everything is laid out in dialog units of the dialog's
// font, widened across when a caption or a box's longest item would not fit
// its rectangle otherwise.
void buildDialog(QDialog& dialog, const DialogTemplate& dialogTemplate, const QIcon& icon);

// The control of `dialog` with that id, or null.
QWidget* dialogControl(const QWidget& dialog, int id);

}  // namespace quillon
