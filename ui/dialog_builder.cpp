#include "dialog_builder.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

#include <cmath>

#include "dialog_units.h"

namespace quillon {

namespace {

// The icon of a static icon control is drawn at the window system's standard
// icon size, whatever the rectangle says.
constexpr int kStandardIconSize = 32;

// Captions are English in the templates; the interface language's
// translation, when one is installed, replaces them here.
QString translatedCaption(const QString& caption) {
    return caption.isEmpty() ? caption : QCoreApplication::translate("DialogTemplate", caption.toUtf8().constData());
}

QWidget* createControl(ControlTemplate c, QDialog& dialog, const QIcon& icon) {
    c.caption = translatedCaption(c.caption);
    switch (c.kind) {
        case ControlKind::PushButton: {
            auto* button = new QPushButton(c.caption, &dialog);
            // A dialog draws its auto-default buttons as default whenever the
            // focus is elsewhere; only the template's default button is one.
            button->setDefault(c.defaultButton);
            button->setAutoDefault(c.defaultButton);
            return button;
        }
        case ControlKind::RadioButton: return new QRadioButton(c.caption, &dialog);
        case ControlKind::CheckBox: return new QCheckBox(c.caption, &dialog);
        case ControlKind::Edit: return new QLineEdit(&dialog);
        case ControlKind::DropList:
        case ControlKind::DropDown: {
            auto* box = new QComboBox(&dialog);
            box->addItems(c.items);
            if (c.kind == ControlKind::DropDown) {
                box->setEditable(true);
                // Typed text is a value in its own right, never a new item,
                // and is not completed behind the user's back.
                box->setInsertPolicy(QComboBox::NoInsert);
                box->setCompleter(nullptr);
            }
            box->setCurrentIndex(-1);
            return box;
        }
        case ControlKind::GroupBox: return new QGroupBox(c.caption, &dialog);
        case ControlKind::StaticText: {
            auto* label = new QLabel(c.caption, &dialog);
            label->setTextFormat(Qt::PlainText);
            return label;
        }
        case ControlKind::StaticIcon: {
            auto* label = new QLabel(&dialog);
            label->setPixmap(icon.pixmap(kStandardIconSize, kStandardIconSize));
            return label;
        }
        case ControlKind::TextPane: {
            auto* pane = new QPlainTextEdit(&dialog);
            pane->setReadOnly(true);
            pane->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
            pane->setLineWrapMode(QPlainTextEdit::NoWrap);
            return pane;
        }
    }
    return nullptr;
}

// A combo box's rectangle is the box with its list dropped down; the closed
// box is as tall as the style draws it.
QRect controlGeometry(const ControlTemplate& c, const QWidget& widget, const DialogUnits& units) {
    QRect pixels = units.toPixels(c.rect);
    if (c.kind == ControlKind::DropList || c.kind == ControlKind::DropDown) {
        pixels.setHeight(widget.sizeHint().height());
    }
    return pixels;
}

// A frame's lines lie on its outermost logical pixels. At a fractional scale
// such a pixel may start between two device pixels, and the pane inside the
// frame then covers the line. A framed control is drawn within its rectangle
// with its lines on logical pixels that start on whole device pixels.
QRect alignedToDevicePixels(const QRect& rect, qreal ratio) {
    // The smallest number of logical pixels that is a whole number of device pixels.
    int step = 1;
    while (step < 8 && std::abs(step * ratio - std::round(step * ratio)) > 1e-6) ++step;
    if (step == 8) return rect;
    const auto up = [step](int v) { return (v + step - 1) / step * step; };
    const auto down = [step](int v) { return v / step * step; };
    return QRect(QPoint(up(rect.left()), up(rect.top())), QPoint(down(rect.right()), down(rect.bottom())));
}

// The width a control needs to show its caption whole.
int captionWidth(const ControlTemplate& c, const QWidget& widget) {
    switch (c.kind) {
        case ControlKind::StaticText:
        case ControlKind::RadioButton:
        case ControlKind::CheckBox: return widget.sizeHint().width();
        case ControlKind::PushButton: {
            // A button's own size hint has a minimum width the template's
            // small buttons were never meant to meet; the text and its margins must fit.
            QString text = c.caption;
            text.remove(QLatin1Char('&'));
            const int margin = widget.style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, &widget);
            return widget.fontMetrics().horizontalAdvance(text) + 2 * margin;
        }
        default: return 0;
    }
}

// A template's frame line runs through the middle of its title; a style that
// draws the title above the line puts the line on the first row of controls
// inside. Such a frame is raised just enough to clear that row.
void raiseFramesAboveTheirControls(const DialogTemplate& dialogTemplate, const QVector<QWidget*>& widgets,
                                   const DialogUnits& units) {
    for (qsizetype i = 0; i < widgets.size(); ++i) {
        auto* frame = qobject_cast<QGroupBox*>(widgets[i]);
        if (!frame) continue;
        const QRect frameUnits = dialogTemplate.controls[i].rect;
        int firstRow = frameUnits.bottom();
        for (const ControlTemplate& c : dialogTemplate.controls) {
            if (&c != &dialogTemplate.controls[i] && frameUnits.contains(c.rect)) {
                firstRow = qMin(firstRow, c.rect.top());
            }
        }
        const int room = units.y(firstRow) - units.y(frameUnits.top());
        const int raise = frame->contentsRect().top() - room;
        if (raise > 0) frame->setGeometry(frame->geometry().adjusted(0, -raise, 0, 0));
    }
}

// Tab enters a radio group at its checked button, the one the arrow keys
// would have left the focus on. Qt narrows the Tab stops of a group only once
// one of its buttons has had the focus, so a button checked from the settings
// would otherwise be passed over for the group's first.
void keepTabOnCheckedRadio(QButtonGroup& group) {
    const auto update = [&group] {
        const QList<QAbstractButton*> buttons = group.buttons();
        const QAbstractButton* stop = group.checkedButton() ? group.checkedButton() : buttons.value(0);
        for (QAbstractButton* button : buttons) {
            const Qt::FocusPolicy policy = button->focusPolicy();
            button->setFocusPolicy(button == stop ? Qt::FocusPolicy(policy | Qt::TabFocus)
                                                  : Qt::FocusPolicy(policy & ~Qt::TabFocus));
        }
    };
    update();
    QObject::connect(&group, &QButtonGroup::buttonToggled, &group, update);
}

}  // namespace

void buildDialog(QDialog& dialog, const DialogTemplate& dialogTemplate, const QIcon& icon) {
    dialog.setWindowTitle(translatedCaption(dialogTemplate.caption));
    dialog.setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint);

    DialogUnits units(dialog.font());
    QVector<QWidget*> widgets;
    for (const ControlTemplate& c : dialogTemplate.controls) {
        QWidget* widget = createControl(c, dialog, icon);
        units = units.widenedToFit(captionWidth(c, *widget), c.rect.width());
        widgets.push_back(widget);
    }
    dialog.setFixedSize(units.toPixels(dialogTemplate.size));

    QButtonGroup* radioGroup = nullptr;
    for (qsizetype i = 0; i < widgets.size(); ++i) {
        const ControlTemplate& c = dialogTemplate.controls[i];
        QWidget* widget = widgets[i];
        if (c.groupStart) radioGroup = nullptr;
        widget->setObjectName(QString::number(c.id));
        widget->setGeometry(controlGeometry(c, *widget, units));
        if (auto* frame = qobject_cast<QFrame*>(widget); frame && frame->frameWidth() > 0) {
            frame->setGeometry(alignedToDevicePixels(frame->geometry(), dialog.devicePixelRatioF()));
        }
        if (!c.tabStop && c.kind != ControlKind::RadioButton) {
            // A radio group's Tab stop follows its checked button (below).
            widget->setFocusPolicy(static_cast<Qt::FocusPolicy>(widget->focusPolicy() & ~Qt::TabFocus));
        }
        if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
            if (!radioGroup) radioGroup = new QButtonGroup(&dialog);
            radioGroup->addButton(radio, c.id);
        }
    }
    for (QButtonGroup* group : dialog.findChildren<QButtonGroup*>(QString(), Qt::FindDirectChildrenOnly)) {
        keepTabOnCheckedRadio(*group);
    }
    raiseFramesAboveTheirControls(dialogTemplate, widgets, units);
}

QWidget* dialogControl(const QWidget& dialog, int id) {
    return dialog.findChild<QWidget*>(QString::number(id), Qt::FindDirectChildrenOnly);
}

}  // namespace quillon
