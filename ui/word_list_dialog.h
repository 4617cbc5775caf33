#pragma once

#include <QDialog>
#include <QStringList>

#include <functional>

class QListWidget;
class QPushButton;

namespace quillon {

// The user's own word lists, in the order runs read them, kept in a short
// list with Add… and Remove; OK takes the list, Cancel leaves it.
class WordListDialog : public QDialog {
    Q_OBJECT
public:
    // The files Add… chose, none when the user cancelled.
    using FileChooser = std::function<QStringList(QWidget* owner)>;

    WordListDialog(const QStringList& files, FileChooser chooseFiles, QWidget* parent = nullptr);

    QStringList files() const;

    // Appends the chosen files the list does not hold yet.
    void onAdd();
    // Takes the selected files out of the list.
    void onRemove();

private:
    void append(const QString& file);

    QListWidget* list_;
    QPushButton* remove_;
    FileChooser chooseFiles_;
};

}  // namespace quillon
