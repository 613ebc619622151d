#include "view/BitmapPanel.h"

#include <QPainter>

namespace view {

TBitmapPanel::TBitmapPanel(QWidget* parent) : QWidget(parent) {
    // Every pixel is painted: no background erase, no flicker.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void TBitmapPanel::paintEvent(QPaintEvent*) {
    if (bitmap_.size() != size()) bitmap_ = QImage(size(), QImage::Format_ARGB32_Premultiplied);
    if (OnPaint)
        OnPaint(bitmap_);
    else
        bitmap_.fill(palette().color(QPalette::Window));
    QPainter p(this);
    p.drawImage(0, 0, bitmap_);
}

void TBitmapPanel::leaveEvent(QEvent* e) {
    QWidget::leaveEvent(e);
    if (OnMouseLeave) OnMouseLeave();
}

void TBitmapPanel::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    if (OnResize) OnResize();
}

} // namespace view
