#pragma once

#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QVector>

namespace quillon {

// A dialog described as data: the window and its controls with rectangles in
// dialog units, as kept in the resources under dialogs/<id>.json.

enum class ControlKind {
    PushButton,
    RadioButton,   // automatic: one checked per group
    CheckBox,      // automatic
    Edit,          // single line, scrolls horizontally
    DropList,      // combo box whose text is always one of its items
    DropDown,      // combo box with an editable text field
    GroupBox,
    StaticText,
    StaticIcon,    // the program icon
    TextPane,      // multi-line, read-only output pane
};

struct ControlTemplate {
    int id = -1;
    ControlKind kind = ControlKind::StaticText;
    QString caption;
    QRect rect;               // dialog units
    bool groupStart = false;  // a group of radio buttons runs to the next group start
    bool tabStop = false;
    bool defaultButton = false;
    QStringList items;        // initial items of a combo box, in order
};

struct DialogTemplate {
    int id = 0;
    QString caption;
    QSize size;  // dialog units
    QVector<ControlTemplate> controls;
};

// Reads template `id` from the resources. A missing or malformed template is
// a build fault, so it stops the program with a message naming it.
DialogTemplate loadDialogTemplate(int id);

}  // namespace quillon
