#include "dialog_builder.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

#include "dialog_units.h"
#include "template_layout.h"

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
        case ControlKind::CheckBox: {
            auto* box = new QCheckBox(c.caption, &dialog);
            box->setTristate(c.triState);
            return box;
        }
        case ControlKind::Edit: return new QLineEdit(&dialog);
        case ControlKind::DropList: {
            auto* box = new QComboBox(&dialog);
            for (const QString& item : c.items) box->addItem(translatedCaption(item));
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
    if (c.kind == ControlKind::DropList) {
        pixels.setHeight(widget.sizeHint().height());
    }
    return pixels;
}

// The width a control needs to show its caption whole.
int captionWidth(const ControlTemplate& c, const QWidget& widget) {
    switch (c.kind) {
        case ControlKind::StaticText:
        case ControlKind::RadioButton:
        case ControlKind::CheckBox:
        case ControlKind::DropList: return widget.sizeHint().width();  // a box: its longest item
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
                                   const DialogUnits& units, QVector<QRect>& rects) {
    for (qsizetype i = 0; i < widgets.size(); ++i) {
        const auto* frame = qobject_cast<QGroupBox*>(widgets[i]);
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
        if (raise > 0) rects[i].adjust(0, -raise, 0, 0);
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
    const bool resizable = !dialogTemplate.minimumSize.isEmpty();
    dialog.setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | (resizable ? Qt::WindowMaximizeButtonHint : Qt::WindowFlags()));

    DialogUnits units(dialog.font());
    QVector<QWidget*> widgets;
    for (const ControlTemplate& c : dialogTemplate.controls) {
        QWidget* widget = createControl(c, dialog, icon);
        units = units.widenedToFit(captionWidth(c, *widget), c.rect.width());
        widgets.push_back(widget);
    }

    QVector<QRect> rects;
    QButtonGroup* radioGroup = nullptr;
    for (qsizetype i = 0; i < widgets.size(); ++i) {
        const ControlTemplate& c = dialogTemplate.controls[i];
        QWidget* widget = widgets[i];
        if (c.groupStart) radioGroup = nullptr;
        widget->setObjectName(QString::number(c.id));
        rects.push_back(controlGeometry(c, *widget, units));
        if (!c.tabStop && c.kind != ControlKind::RadioButton) {
            // A radio group's Tab stop follows its checked button (below).
            widget->setFocusPolicy(static_cast<Qt::FocusPolicy>(widget->focusPolicy() & ~Qt::TabFocus));
        }
        if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
            if (!radioGroup) radioGroup = new QButtonGroup(&dialog);
            radioGroup->addButton(radio, c.id);
        }
    }
    for (qsizetype i = 0; i < widgets.size(); ++i) {
        auto* label = qobject_cast<QLabel*>(widgets[i]);
        if (label && dialogTemplate.controls[i].buddy) label->setBuddy(dialogControl(dialog, dialogTemplate.controls[i].buddy));
    }
    for (QButtonGroup* group : dialog.findChildren<QButtonGroup*>(QString(), Qt::FindDirectChildrenOnly)) {
        keepTabOnCheckedRadio(*group);
    }
    raiseFramesAboveTheirControls(dialogTemplate, widgets, units, rects);

    auto* layout = new TemplateLayout(dialog, units.toPixels(dialogTemplate.size),
                                      units.toPixels(resizable ? dialogTemplate.minimumSize : dialogTemplate.size));
    for (qsizetype i = 0; i < widgets.size(); ++i) {
        layout->addControl(widgets[i], rects[i], dialogTemplate.controls[i].moves, dialogTemplate.controls[i].grows);
    }
    dialog.resize(layout->sizeHint());
    layout->activate();
}

QWidget* dialogControl(const QWidget& dialog, int id) {
    return dialog.findChild<QWidget*>(QString::number(id), Qt::FindDirectChildrenOnly);
}

}  // namespace quillon
