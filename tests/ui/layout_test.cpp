// The main dialog's layout at the scale and in the language the test runs in
// (CTest sets QT_SCALE_FACTOR to 1, 1.25, 1.5 and 2, and LANG once to zh_TW
// at 2), at its first size, its smallest and a large one: every control lies
// inside the window, no two overlap, no caption or box item is cut, a control
// in a frame stays below its title, every frame shows all four of its lines,
// and the output pane takes what the window gains.
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QStyle>
#include <QtTest>

#include <memory>

#include "control_ids.h"
#include "font_setting.h"
#include "fresh_settings.h"
#include "interface_language.h"
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

// Whether the frame's line shows on the side that `step` walks towards: on the
// way from the frame's centre to just past its edge, some device pixel is
// neither the frame's inside nor the dialog's background.
bool lineShows(const QImage& image, const QFrame& frame, QPoint step) {
    const qreal ratio = image.devicePixelRatio();
    const QRect g = frame.geometry();
    const QRect device(QPoint(qFloor(g.left() * ratio), qFloor(g.top() * ratio)),
                       QPoint(qCeil((g.right() + 1) * ratio) - 1, qCeil((g.bottom() + 1) * ratio) - 1));
    const QRgb inside = frame.palette().color(QPalette::Base).rgb();
    const QRgb background = frame.parentWidget()->palette().color(QPalette::Window).rgb();
    for (QPoint p = device.center(); device.adjusted(-3, -3, 3, 3).contains(p); p += step) {
        const QRgb pixel = image.pixel(p);
        if (pixel != inside && pixel != background) return true;
    }
    return false;
}

}  // namespace

class LayoutTest : public QObject {
    Q_OBJECT

    FreshSettings settings;
    RecordingHooks recorder;

private slots:
    void initTestCase() {
        installInterfaceTranslation();
        installCjkFontSubstitutions();
    }

    void noControlOverlapsAnotherOrLeavesTheWindow_data() {
        QTest::addColumn<qreal>("growth");  // of the window's smallest size, each way
        QTest::newRow("first size") << -1.0;
        QTest::newRow("smallest") << 0.0;
        QTest::newRow("large") << 0.6;
    }
    void noControlOverlapsAnotherOrLeavesTheWindow() {
        QFETCH(qreal, growth);
        MainDialog dialog(recorder.hooks());
        if (growth >= 0) dialog.resize(dialog.minimumSizeHint() * (1 + growth));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QList<QWidget*> controls = dialog.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
        QList<QGroupBox*> frames;
        for (QWidget* c : controls) {
            if (auto* frame = qobject_cast<QGroupBox*>(c)) frames << frame;
        }
        const QImage image = dialog.grab().toImage();
        for (QWidget* c : controls) {
            QVERIFY2(dialog.rect().contains(c->geometry()), qPrintable(nameOf(c)));
            // Whatever the face and language, a caption or a box's longest item
            // shows whole. (A push button's hint asks for more than its text.)
            // The status line says what it must, however long.
            const bool caption = (qobject_cast<QLabel*>(c) && c != dialog.control(control_id::kStatusLine)) ||
                                 qobject_cast<QCheckBox*>(c) || qobject_cast<QRadioButton*>(c);
            if (caption || qobject_cast<QComboBox*>(c)) {
                QVERIFY2(c->width() >= c->sizeHint().width(), qPrintable(nameOf(c)));
            }
            // What a control holds (a pane's viewport, say) stays clear of its frame.
            for (QWidget* inner : c->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
                if (!inner->isVisible()) continue;
                QVERIFY2(c->contentsRect().contains(inner->geometry()),
                         qPrintable(nameOf(inner) + " crosses the frame of " + nameOf(c)));
            }
            auto* frame = qobject_cast<QFrame*>(c);
            if (!frame || frame->frameWidth() == 0) continue;
            for (const QPoint step : {QPoint(-1, 0), QPoint(1, 0), QPoint(0, -1), QPoint(0, 1)}) {
                QVERIFY2(lineShows(image, *frame, step),
                         qPrintable(QStringLiteral("%1 has no line towards (%2,%3)").arg(nameOf(c)).arg(step.x()).arg(step.y())));
            }
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

    // Only the pane and the fields that hold paths or the status grow; the
    // pane takes all the height the window gains.
    void thePaneTakesTheRoomOfALargerWindow() {
        MainDialog dialog(recorder.hooks());
        dialog.resize(dialog.minimumSizeHint());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QHash<QWidget*, QSize> small;
        for (QWidget* c : dialog.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) small[c] = c->size();
        const QSize gain(300, 200);
        dialog.resize(dialog.size() + gain);
        QTRY_COMPARE(dialog.control(control_id::kOutputPane)->size(), small[dialog.control(control_id::kOutputPane)] + gain);
        for (const int id : {control_id::kSourcePath, control_id::kDestinationPath, control_id::kStatusLine}) {
            QCOMPARE(dialog.control(id)->size(), small[dialog.control(id)] + QSize(gain.width(), 0));
            small.remove(dialog.control(id));
        }
        small.remove(dialog.control(control_id::kOutputPane));
        for (auto it = small.cbegin(); it != small.cend(); ++it) QVERIFY2(it.key()->size() == it.value(), qPrintable(nameOf(it.key())));
        QVERIFY(dialog.windowFlags() & Qt::WindowMaximizeButtonHint);
    }

    // A screen 1200 device pixels tall holds the smallest window with its title bar.
    void theSmallestWindowFitsAScreen1200PixelsTall() {
        MainDialog dialog(recorder.hooks());
        const int titleBar = dialog.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &dialog);
        const qreal ratio = dialog.devicePixelRatioF();
        QVERIFY2((dialog.minimumSizeHint().height() + titleBar) * ratio <= 1200,
                 qPrintable(QStringLiteral("%1 + %2 at %3").arg(dialog.minimumSizeHint().height()).arg(titleBar).arg(ratio)));
        QVERIFY2(dialog.minimumSizeHint().width() * ratio <= 1920, qPrintable(QString::number(dialog.minimumSizeHint().width())));
    }
};

QTEST_MAIN(LayoutTest)
#include "layout_test.moc"
