#pragma once
// A panel that draws nothing itself: its owner paints into an off-screen image of the panel's
// size, which reaches the screen in one copy, so the map never flickers.

#include <QImage>
#include <QMouseEvent>
#include <QWidget>

#include <functional>

namespace view {

class TBitmapPanel : public QWidget {
    Q_OBJECT
public:
    explicit TBitmapPanel(QWidget* parent = nullptr);

    // Paints the whole panel into the image (already of the panel's size).
    std::function<void(QImage&)> OnPaint;
    std::function<void()> OnMouseLeave;
    std::function<void()> OnResize;
    // The map's mouse handlers (`PanelMainMouseDown` and the rest).
    std::function<void(QMouseEvent*)> OnMouseDown, OnMouseMove, OnMouseUp, OnDblClick;
    int ImageIndex = -1; // the background texture, -1 for none

    const QImage& Bitmap() const { return bitmap_; }

protected:
    void paintEvent(QPaintEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    QImage bitmap_;
};

} // namespace view
