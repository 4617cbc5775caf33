// Ways into the dialog besides its buttons: a file dropped on the window or
// the source field, and the About box's keyboard shortcut.
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

// Drags `urls` onto `target` and drops them there; true when the drop was taken.
bool dropOn(QWidget* target, const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
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
        QVERIFY(dropOn(where, {QUrl::fromLocalFile(QStringLiteral("/texts/第一章.txt"))}));
        QCOMPARE(dialogItemText(*dialog, kSourcePath), QStringLiteral("/texts/第一章.txt"));
        QCOMPARE(isButtonChecked(*dialog, kSourceFile), 1);
        QVERIFY(dialog->control(kSourcePath)->isEnabled());
        QVERIFY(dialog->control(kBrowseSource)->isEnabled());
        QCOMPARE(dialogItemText(*dialog, kCharsPerLine), QStringLiteral("38"));
    }

    void dropsThatAreNotOneLocalFileAreRefused() {
        setDialogItemText(*dialog, kSourcePath, QStringLiteral("kept.txt"));
        QVERIFY(!dropOn(dialog.get(), {QUrl(QStringLiteral("https://example.org/a.txt"))}));
        QVERIFY(!dropOn(dialog.get(), {QUrl::fromLocalFile("/a.txt"), QUrl::fromLocalFile("/b.txt")}));
        QVERIFY(!dropOn(dialog.get(), {}));
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
