#include "font_chooser.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDialog>
#include <QGroupBox>

namespace quillon {

// The chooser has no interface for these settings; its writing-system box,
// which fills the family list and the sample, and its effects frame are found
// among its children. Should a Qt version change them, the chooser is simply
// left as it comes.
void setUpFontChooser(QWidget& chooser, QFontDatabase::WritingSystem writingSystem) {
    const QString name = QFontDatabase::writingSystemName(writingSystem);
    for (QComboBox* box : chooser.findChildren<QComboBox*>()) {
        const int index = box->findText(name);
        if (index < 0) continue;
        box->setCurrentIndex(index);
        emit box->activated(index);  // what a choice by the user sends
    }
    for (QGroupBox* frame : chooser.findChildren<QGroupBox*>()) {
        if (!frame->findChildren<QCheckBox*>().isEmpty()) frame->hide();
    }
}

std::optional<QFont> chooseFontOfWritingSystem(QWidget* owner, const QFont& initial,
                                               QFontDatabase::WritingSystem writingSystem) {
    QFontDialog chooser(initial, owner);
    chooser.setOption(QFontDialog::DontUseNativeDialog);
    setUpFontChooser(chooser, writingSystem);
    chooser.setCurrentFont(initial);  // the family list was refilled
    if (chooser.exec() != QDialog::Accepted) return std::nullopt;
    return chooser.selectedFont();
}

}  // namespace quillon
