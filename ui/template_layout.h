#pragma once

#include <QLayout>
#include <QRect>
#include <QVector>

namespace quillon {

// Places a dialog's controls at their template rectangles (in pixels) and
// lets those that follow the window move or grow with it, so the window can
// be resized between its minimum size and any larger one. A window whose
// minimum is its template size keeps that size.
class TemplateLayout : public QLayout {
public:
    TemplateLayout(QWidget& window, QSize size, QSize minimumSize);
    ~TemplateLayout() override;

    // `rect` is where the control lies at the template size.
    void addControl(QWidget* control, const QRect& rect, Qt::Orientations moves, Qt::Orientations grows);

    // A control added without a rectangle keeps the one it has and never follows.
    void addItem(QLayoutItem* item) override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    int count() const override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    QSize maximumSize() const override;
    void setGeometry(const QRect& rect) override;

private:
    struct Placed {
        QLayoutItem* item;
        QRect rect;
        Qt::Orientations moves;
        Qt::Orientations grows;
    };
    QVector<Placed> placed_;
    QSize size_;
    QSize minimumSize_;
};

}  // namespace quillon
