#include "view/map/BitmapPanel.h"

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

void TBitmapPanel::mousePressEvent(QMouseEvent* e) {
    if (OnMouseDown)
        OnMouseDown(e);
    else
        QWidget::mousePressEvent(e);
}

void TBitmapPanel::mouseMoveEvent(QMouseEvent* e) {
    if (OnMouseMove)
        OnMouseMove(e);
    else
        QWidget::mouseMoveEvent(e);
}

void TBitmapPanel::mouseReleaseEvent(QMouseEvent* e) {
    if (OnMouseUp)
        OnMouseUp(e);
    else
        QWidget::mouseReleaseEvent(e);
}

void TBitmapPanel::mouseDoubleClickEvent(QMouseEvent* e) {
    // The double click stands in for the second press: a drag does not start from it.
    if (OnDblClick)
        OnDblClick(e);
    else
        QWidget::mouseDoubleClickEvent(e);
}

} // namespace view
