// The chooser of the user's own word lists: Add… appends what the file
// chooser gives, Remove takes out what is selected, the order stays.
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include "word_list_dialog.h"

using namespace quillon;

class WordListDialogTest : public QObject {
    Q_OBJECT

private slots:
    void addAndRemoveKeepTheOrder_data() {
        QTest::addColumn<QStringList>("start");
        QTest::addColumn<QStringList>("chosen");    // by Add…; empty: the user cancelled
        QTest::addColumn<QList<int>>("selected");  // rows selected for Remove after adding
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("add to none") << QStringList() << QStringList{"/b.txt", "/a.txt"} << QList<int>()
                                     << QStringList{"/b.txt", "/a.txt"};
        QTest::newRow("a listed file is not added twice")
            << QStringList{"/a.txt"} << QStringList{"/c.txt", "/a.txt"} << QList<int>()
            << QStringList{"/a.txt", "/c.txt"};
        QTest::newRow("cancelled add") << QStringList{"/a.txt"} << QStringList() << QList<int>()
                                       << QStringList{"/a.txt"};
        QTest::newRow("remove several") << QStringList{"/a.txt", "/b.txt", "/c.txt"} << QStringList{"/d.txt"}
                                        << QList<int>{0, 2} << QStringList{"/b.txt", "/d.txt"};
    }
    void addAndRemoveKeepTheOrder() {
        QFETCH(QStringList, start);
        QFETCH(QStringList, chosen);
        QFETCH(QList<int>, selected);
        QFETCH(QStringList, expected);
        int asked = 0;
        WordListDialog dialog(start, [&](QWidget* owner) {
            ++asked;
            return owner != nullptr ? chosen : QStringList();
        });
        auto* list = dialog.findChild<QListWidget*>();
        QPushButton* remove = nullptr;
        for (auto* button : dialog.findChildren<QPushButton*>()) {
            if (button->text() == QStringLiteral("Remove")) remove = button;
        }
        QVERIFY(list && remove);
        QCOMPARE(dialog.files(), start);
        dialog.onAdd();
        QCOMPARE(asked, 1);
        QVERIFY(!remove->isEnabled());
        for (int row : selected) list->item(row)->setSelected(true);
        QCOMPARE(remove->isEnabled(), !selected.isEmpty());
        if (!selected.isEmpty()) remove->click();
        QCOMPARE(dialog.files(), expected);
    }
};

QTEST_MAIN(WordListDialogTest)
#include "word_list_dialog_test.moc"
