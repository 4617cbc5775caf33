#include "message_box.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QShortcut>

namespace quillon {

std::unique_ptr<QMessageBox> makeMessageBox(QWidget* owner, const QString& caption, const QString& text,
                                            QMessageBox::Icon icon) {
    auto box = std::make_unique<QMessageBox>(icon, caption, text, QMessageBox::Ok, owner);
    // A path may hold "<" or "&": the text is never markup.
    box->setTextFormat(Qt::PlainText);
    box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // QMessageBox copies its text itself only on Windows. A selection in the
    // text is the label's to copy.
    auto* copy = new QShortcut(QKeySequence::Copy, box.get());
    QObject::connect(copy, &QShortcut::activated, box.get(), [text, box = box.get()] {
        const auto* label = qobject_cast<const QLabel*>(box->focusWidget());
        if (label && label->hasSelectedText()) {
            QGuiApplication::clipboard()->setText(label->selectedText());
        } else {
            QGuiApplication::clipboard()->setText(text);
        }
    });
    return box;
}

}  // namespace quillon
