// The main dialog's layout at the scale the test runs at (QT_SCALE_FACTOR is
// set per run by CTest: 1, 1.25, 1.5 and 2): every control lies inside the
// window, no two overlap, and a control in a frame stays below its title.
#include <QGroupBox>
#include <QtTest>

#include <memory>

#include "fresh_settings.h"
#include "main_dialog.h"
#include "recording_hooks.h"

using namespace quillon;

namespace {

QString rectText(const QRect& r) {
    return QStringLiteral("(%1,%2 %3x%4)").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

QString nameOf(const QWidget* w) {
    return QStringLiteral("%1 %2 %3").arg(w->metaObject()->className(), w->objectName(), rectText(w->geometry()));
}

}  // namespace

class LayoutTest : public QObject {
    Q_OBJECT

    FreshSettings settings;
    RecordingHooks recorder;

private slots:
    void noControlOverlapsAnotherOrLeavesTheWindow() {
        MainDialog dialog(recorder.hooks());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QList<QWidget*> controls = dialog.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
        QList<QGroupBox*> frames;
        for (QWidget* c : controls) {
            if (auto* frame = qobject_cast<QGroupBox*>(c)) frames << frame;
        }
        for (QWidget* c : controls) {
            QVERIFY2(dialog.rect().contains(c->geometry()), qPrintable(nameOf(c)));
        }
        for (qsizetype i = 0; i < controls.size(); ++i) {
            for (qsizetype j = i + 1; j < controls.size(); ++j) {
                QWidget* a = controls[i];
                QWidget* b = controls[j];
                if (!a->geometry().intersects(b->geometry())) continue;
                auto* frame = qobject_cast<QGroupBox*>(a) ? qobject_cast<QGroupBox*>(a) : qobject_cast<QGroupBox*>(b);
                QWidget* inner = frame == a ? b : a;
                QVERIFY2(frame, qPrintable(nameOf(a) + " overlaps " + nameOf(b)));
                // Inside the frame's contents, where the style lays children
                // out: clear of its border and its title.
                const QRect contents = frame->contentsRect().translated(frame->pos());
                QVERIFY2(contents.contains(inner->geometry()),
                         qPrintable(nameOf(inner) + " crosses the frame of " + nameOf(frame) + " inside " + rectText(contents)));
            }
        }
    }
};

QTEST_MAIN(LayoutTest)
#include "layout_test.moc"
