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
    bool triState = false;    // a check box whose third state leaves the choice to the run
    QStringList items;        // initial items of a combo box, in order
    int buddy = 0;            // a label's control, which its mnemonic focuses
    // How the control follows a resized window: it moves by the window's
    // growth in these directions, and grows with it in these.
    Qt::Orientations moves;
    Qt::Orientations grows;
};

struct DialogTemplate {
    int id = 0;
    QString caption;
    QSize size;         // dialog units
    QSize minimumSize;  // dialog units; empty for a window of fixed size
    QVector<ControlTemplate> controls;
};

// Reads template `id` from the resources. A missing or malformed template is
// a build fault, so it stops the program with a message naming it.
DialogTemplate loadDialogTemplate(int id);

}  // namespace quillon
