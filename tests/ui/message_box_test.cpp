// Every message box lets the user copy its text, for a bug report.
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QtTest>

#include "message_box.h"

using quillon::makeMessageBox;

class MessageBoxTest : public QObject {
    Q_OBJECT

private slots:
    void copyTakesTheWholeTextShownAsItIs() {
        const QString text = QStringLiteral("/data/<b>新</b> & co.txt: Permission denied");
        const auto box = makeMessageBox(nullptr, QStringLiteral("Error"), text, QMessageBox::Warning);
        box->show();
        QVERIFY(QTest::qWaitForWindowActive(box.get()));
        QApplication::clipboard()->setText(QStringLiteral("before"));
        QTest::keyClick(box.get(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), text);

        const auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        QVERIFY(label);
        QCOMPARE(label->textFormat(), Qt::PlainText);
        QVERIFY(label->textInteractionFlags() & Qt::TextSelectableByMouse);
    }
};

QTEST_MAIN(MessageBoxTest)
#include "message_box_test.moc"
