#include "dialog_controls.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>

#include "dialog_builder.h"

namespace quillon {
namespace {

template <typename Control>
Control& item(const QWidget& dialog, int id) {
    auto* control = qobject_cast<Control*>(dialogControl(dialog, id));
    Q_ASSERT_X(control, "dialog control", "no control of that kind with that id");
    return *control;
}

constexpr char kFilesProperty[] = "files";

}  // namespace

std::optional<qint32> dialogItemNumber(const QWidget& dialog, int id) {
    bool ok = false;
    const qint32 value = item<QLineEdit>(dialog, id).text().trimmed().toInt(&ok, 10);
    return ok ? std::optional(value) : std::nullopt;
}

qint32 dialogItemInt(const QWidget& dialog, int id) { return dialogItemNumber(dialog, id).value_or(0); }

void setDialogItemInt(QWidget& dialog, int id, qint32 value) {
    item<QLineEdit>(dialog, id).setText(QString::number(value));
}

QString dialogItemText(const QWidget& dialog, int id) { return item<QLineEdit>(dialog, id).text(); }

void setDialogItemText(QWidget& dialog, int id, const QString& text) {
    item<QLineEdit>(dialog, id).setText(text);
}

qint32 isButtonChecked(const QWidget& dialog, int id) {
    return item<QAbstractButton>(dialog, id).isChecked() ? 1 : 0;
}

void checkButton(QWidget& dialog, int id, bool checked) {
    item<QAbstractButton>(dialog, id).setChecked(checked);
}

qint32 checkBoxState(const QWidget& dialog, int id) {
    switch (item<QCheckBox>(dialog, id).checkState()) {
        case Qt::Checked: return 1;
        case Qt::PartiallyChecked: return -1;
        default: return 0;
    }
}

void setCheckBoxState(QWidget& dialog, int id, qint32 state) {
    auto& box = item<QCheckBox>(dialog, id);
    box.setTristate(true);
    box.setCheckState(state < 0 ? Qt::PartiallyChecked : state != 0 ? Qt::Checked : Qt::Unchecked);
}

void checkRadioPosition(QWidget& dialog, int first, int last, qint32 position) {
    for (int each = first; each <= last; ++each) {
        auto& button = item<QAbstractButton>(dialog, each);
        // An exclusive group refuses to uncheck its checked button.
        QButtonGroup* group = button.group();
        const bool exclusive = group && group->exclusive();
        if (exclusive) group->setExclusive(false);
        button.setChecked(each - first == position);
        if (exclusive) group->setExclusive(true);
    }
}

qint32 checkedRadioPosition(const QWidget& dialog, int first, int last) {
    for (int each = first; each <= last; ++each) {
        if (isButtonChecked(dialog, each)) return each - first;
    }
    return -1;
}

qint32 selectedPosition(const QWidget& dialog, int id) {
    return item<QComboBox>(dialog, id).currentIndex();
}

void selectPosition(QWidget& dialog, int id, qint32 position) {
    auto& box = item<QComboBox>(dialog, id);
    box.setCurrentIndex(position >= 0 && position < box.count() ? position : -1);
}

QStringList buttonFiles(const QWidget& dialog, int id) {
    return item<QAbstractButton>(dialog, id).property(kFilesProperty).toStringList();
}

void setButtonFiles(QWidget& dialog, int id, const QStringList& files) {
    auto& button = item<QAbstractButton>(dialog, id);
    button.setProperty(kFilesProperty, files);
    QStringList shown;
    for (const QString& file : files) shown << QDir::toNativeSeparators(file);
    button.setToolTip(shown.join(QLatin1Char('\n')));
}

void enableControl(QWidget& dialog, int id, bool enabled) { dialogControl(dialog, id)->setEnabled(enabled); }

}  // namespace quillon
