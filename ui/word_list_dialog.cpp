#include "word_list_dialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillon {

WordListDialog::WordListDialog(const QStringList& files, FileChooser chooseFiles, QWidget* parent)
    : QDialog(parent), list_(new QListWidget(this)), remove_(new QPushButton(QObject::tr("Remove"), this)),
      chooseFiles_(std::move(chooseFiles)) {
    setWindowTitle(QObject::tr("Word Lists"));
    auto* about = new QLabel(QObject::tr("Your own words in OpenCC's text form: a simplified word, a tab, its "
                                "traditional form. Runs with Phrases ticked and HTML unticked read the "
                                "lists in this order; an earlier entry wins."),
                             this);
    about->setWordWrap(true);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    auto* add = new QPushButton(QObject::tr("Add…"), this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* listButtons = new QVBoxLayout;
    listButtons->addWidget(add);
    listButtons->addWidget(remove_);
    listButtons->addStretch();
    auto* row = new QHBoxLayout;
    row->addWidget(list_);
    row->addLayout(listButtons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(about);
    layout->addLayout(row);
    layout->addWidget(buttons);

    for (const QString& file : files) append(file);
    remove_->setEnabled(false);
    connect(list_, &QListWidget::itemSelectionChanged, this,
            [this] { remove_->setEnabled(!list_->selectedItems().isEmpty()); });
    connect(add, &QPushButton::clicked, this, &WordListDialog::onAdd);
    connect(remove_, &QPushButton::clicked, this, &WordListDialog::onRemove);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

QStringList WordListDialog::files() const {
    QStringList files;
    for (int row = 0; row < list_->count(); ++row) files << list_->item(row)->data(Qt::UserRole).toString();
    return files;
}

void WordListDialog::onAdd() {
    const QStringList listed = files();
    for (const QString& file : chooseFiles_(this)) {
        if (!listed.contains(file)) append(file);
    }
}

void WordListDialog::onRemove() { qDeleteAll(list_->selectedItems()); }

// Shown as the system writes paths, kept as Qt does.
void WordListDialog::append(const QString& file) {
    auto* item = new QListWidgetItem(QDir::toNativeSeparators(file), list_);
    item->setData(Qt::UserRole, file);
}

}  // namespace quillon
