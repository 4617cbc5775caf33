// Ways into the dialog besides its buttons: a file dropped on the window or
// one of its fields, and the About box's keyboard shortcut.
#include <QLineEdit>
#include <QMimeData>
#include <QtTest>

#include <memory>

#include "control_ids.h"
#include "dialog_controls.h"
#include "fresh_settings.h"
#include "main_dialog.h"
#include "recording_hooks.h"

using namespace quillon;
using namespace quillon::control_id;

namespace {

// Drags `urls` onto `target` offering `actions`, the first of them proposed,
// and drops them there; the action taken, or none when the drop was refused.
Qt::DropAction dropOn(QWidget* target, const QList<QUrl>& urls, Qt::DropActions actions = Qt::CopyAction) {
    QMimeData data;
    data.setUrls(urls);
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) return Qt::IgnoreAction;
    QDragMoveEvent move(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    if (!move.isAccepted()) return Qt::IgnoreAction;
    QDropEvent drop(QPointF(at), actions, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
}

}  // namespace

class WindowAccessTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FreshSettings> settings;
    RecordingHooks recorder;
    std::unique_ptr<MainDialog> dialog;

private slots:
    void init() {
        settings = std::make_unique<FreshSettings>();
        recorder = RecordingHooks();
        dialog = std::make_unique<MainDialog>(recorder.hooks());
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    }
    void cleanup() { dialog.reset(); }

    // The file the program is started with, as the desktop entry passes it.
    void aFileArgumentBecomesTheSource() {
        checkRadioPosition(*dialog, kSourceClipboard, kSourceFile, 0);
        dialog->onSourceClipboard();
        dialog->useSourceFile(QStringLiteral("/tmp/文章 1.txt"));
        QCOMPARE(dialogItemText(*dialog, kSourcePath), QStringLiteral("/tmp/文章 1.txt"));
        QVERIFY(isButtonChecked(*dialog, kSourceFile));
        QVERIFY(dialog->control(kSourcePath)->isEnabled());
        QVERIFY(dialog->control(kBrowseSource)->isEnabled());
    }

    void aDroppedFileBecomesTheSource_data() {
        QTest::addColumn<int>("target");
        QTest::newRow("on the window") << 0;
        QTest::newRow("on the source field") << kSourcePath;
        QTest::newRow("on a number field") << kCharsPerLine;
    }
    void aDroppedFileBecomesTheSource() {
        QFETCH(int, target);
        checkRadioPosition(*dialog, kSourceClipboard, kSourceFile, 0);
        dialog->onSourceClipboard();
        QWidget* where = target ? dialog->control(target) : dialog.get();
        QCOMPARE(dropOn(where, {QUrl::fromLocalFile(QStringLiteral("/texts/第一章.txt"))}), Qt::CopyAction);
        QCOMPARE(dialogItemText(*dialog, kSourcePath), QStringLiteral("/texts/第一章.txt"));
        QCOMPARE(isButtonChecked(*dialog, kSourceFile), 1);
        QVERIFY(dialog->control(kSourcePath)->isEnabled());
        QVERIFY(dialog->control(kBrowseSource)->isEnabled());
        QCOMPARE(dialogItemText(*dialog, kCharsPerLine), QStringLiteral("38"));
    }

    // A drop on the destination field sets the destination, though the
    // field is greyed out while the clipboard is the destination.
    void aFileDroppedOnTheDestinationFieldBecomesTheDestination() {
        setDialogItemText(*dialog, kSourcePath, QStringLiteral("kept.txt"));
        checkRadioPosition(*dialog, kDestinationClipboard, kDestinationFile, 0);
        dialog->onDestinationClipboard();
        QCOMPARE(dropOn(dialog->control(kDestinationPath), {QUrl::fromLocalFile(QStringLiteral("/texts/輸出.txt"))}),
                 Qt::CopyAction);
        QCOMPARE(dialogItemText(*dialog, kDestinationPath), QStringLiteral("/texts/輸出.txt"));
        QCOMPARE(isButtonChecked(*dialog, kDestinationFile), 1);
        QVERIFY(dialog->control(kDestinationPath)->isEnabled());
        QVERIFY(dialog->control(kBrowseDestination)->isEnabled());
        QCOMPARE(dialogItemText(*dialog, kSourcePath), QStringLiteral("kept.txt"));
    }

    // The file is only named, never taken away from where it lies.
    void aDropIsACopyNeverAMove_data() {
        QTest::addColumn<int>("offered");
        QTest::addColumn<int>("taken");
        QTest::newRow("move proposed, copy allowed") << int(Qt::MoveAction | Qt::CopyAction) << int(Qt::CopyAction);
        QTest::newRow("move only") << int(Qt::MoveAction) << int(Qt::IgnoreAction);
        QTest::newRow("link only") << int(Qt::LinkAction) << int(Qt::IgnoreAction);
    }
    void aDropIsACopyNeverAMove() {
        QFETCH(int, offered);
        QFETCH(int, taken);
        QCOMPARE(int(dropOn(dialog.get(), {QUrl::fromLocalFile("/a.txt")}, Qt::DropActions(offered))), taken);
    }

    void dropsThatAreNotOneLocalFileAreRefused() {
        setDialogItemText(*dialog, kSourcePath, QStringLiteral("kept.txt"));
        QCOMPARE(dropOn(dialog.get(), {QUrl(QStringLiteral("https://example.org/a.txt"))}), Qt::IgnoreAction);
        QCOMPARE(dropOn(dialog.get(), {QUrl::fromLocalFile("/a.txt"), QUrl::fromLocalFile("/b.txt")}), Qt::IgnoreAction);
        QCOMPARE(dropOn(dialog.get(), {}), Qt::IgnoreAction);
        QCOMPARE(dialogItemText(*dialog, kSourcePath), QStringLiteral("kept.txt"));
    }

    void altAOpensTheAboutBox() {
        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        QTest::keyClick(dialog.get(), Qt::Key_A, Qt::AltModifier);
        QCOMPARE(recorder.aboutBoxes, 1);
    }

    void theHelpPageNamesTheShortcutAndTheSettingsFile() {
        QFile page(QStringLiteral(QUILLON_HELP_PAGE));
        QVERIFY(page.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(page.readAll());
        QVERIFY(text.contains(QStringLiteral("<kbd>Alt</kbd>+<kbd>A</kbd>")));
        QVERIFY(text.contains(QStringLiteral("~/.config/Quillon/Quillon.ini")));
    }
};

QTEST_MAIN(WindowAccessTest)
#include "window_access_test.moc"
