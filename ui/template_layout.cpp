#include "template_layout.h"

#include <QFrame>
#include <QWidget>

#include <cmath>

namespace quillon {
namespace {

// A frame's lines lie on its outermost logical pixels. At a fractional scale
// such a pixel may start between two device pixels, and the pane inside the
// frame then covers the line. A framed control is drawn within its rectangle
// with its lines on logical pixels that start on whole device pixels.
QRect alignedToDevicePixels(const QRect& rect, qreal ratio) {
    // The smallest number of logical pixels that is a whole number of device pixels.
    int step = 1;
    while (step < 8 && std::abs(step * ratio - std::round(step * ratio)) > 1e-6) ++step;
    if (step == 8) return rect;
    const auto up = [step](int v) { return (v + step - 1) / step * step; };
    const auto down = [step](int v) { return v / step * step; };
    return QRect(QPoint(up(rect.left()), up(rect.top())), QPoint(down(rect.right()), down(rect.bottom())));
}

bool isFramed(const QWidget* widget) {
    const auto* frame = qobject_cast<const QFrame*>(widget);
    return frame && frame->frameWidth() > 0;
}

}  // namespace

TemplateLayout::TemplateLayout(QWidget& window, QSize size, QSize minimumSize)
    : QLayout(&window), size_(size), minimumSize_(minimumSize.boundedTo(size)) {
    setContentsMargins(0, 0, 0, 0);
    setSizeConstraint(minimumSize_ == size_ ? QLayout::SetFixedSize : QLayout::SetDefaultConstraint);
}

TemplateLayout::~TemplateLayout() {
    for (const Placed& p : placed_) delete p.item;
}

void TemplateLayout::addControl(QWidget* control, const QRect& rect, Qt::Orientations moves,
                                Qt::Orientations grows) {
    placed_.push_back({new QWidgetItem(control), rect, moves, grows});
    invalidate();
}

void TemplateLayout::addItem(QLayoutItem* item) {
    placed_.push_back({item, item->geometry(), {}, {}});
    invalidate();
}

QLayoutItem* TemplateLayout::itemAt(int index) const {
    return index >= 0 && index < placed_.size() ? placed_[index].item : nullptr;
}

QLayoutItem* TemplateLayout::takeAt(int index) {
    if (index < 0 || index >= placed_.size()) return nullptr;
    QLayoutItem* item = placed_[index].item;
    placed_.removeAt(index);
    return item;
}

int TemplateLayout::count() const { return int(placed_.size()); }
QSize TemplateLayout::sizeHint() const { return size_; }
QSize TemplateLayout::minimumSize() const { return minimumSize_; }
QSize TemplateLayout::maximumSize() const {
    return sizeConstraint() == QLayout::SetFixedSize ? size_ : QSize(QLAYOUTSIZE_MAX, QLAYOUTSIZE_MAX);
}

// What the window gained over its template size (or lost, down to its
// minimum) goes to the controls that follow it.
void TemplateLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    const QSize growth = rect.size().expandedTo(minimumSize_) - size_;
    for (const Placed& p : placed_) {
        QRect r = p.rect.translated(rect.topLeft());
        if (p.moves & Qt::Horizontal) r.translate(growth.width(), 0);
        if (p.moves & Qt::Vertical) r.translate(0, growth.height());
        if (p.grows & Qt::Horizontal) r.setWidth(r.width() + growth.width());
        if (p.grows & Qt::Vertical) r.setHeight(r.height() + growth.height());
        QWidget* control = p.item->widget();
        if (!control) continue;
        control->setGeometry(isFramed(control) ? alignedToDevicePixels(r, control->devicePixelRatioF()) : r);
    }
}

}  // namespace quillon
