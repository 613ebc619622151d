#include "view/objects/ObjectPageIcons.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace view {

namespace {

const QColor kInk(70, 70, 76);
const QColor kGreen(46, 150, 60);
const QColor kRed(200, 55, 50);
const QColor kBlue(50, 105, 190);
const QColor kGold(226, 178, 60);

QPen Pen(const QColor& c, qreal width = 1.4) {
    return QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void Plus(QPainter& p, QPointF c, qreal r, const QColor& color) {
    p.setPen(Pen(color, 2.0));
    p.drawLine(QPointF(c.x() - r, c.y()), QPointF(c.x() + r, c.y()));
    p.drawLine(QPointF(c.x(), c.y() - r), QPointF(c.x(), c.y() + r));
}

// A node of a tree: a small box with a line for its title.
void Row(QPainter& p, qreal x, qreal y, const QColor& color) {
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawRect(QRectF(x, y - 1.5, 3, 3));
    p.setPen(Pen(color, 1.6));
    p.drawLine(QPointF(x + 4.5, y), QPointF(std::min(x + 10.0, 14.5), y));
}

void BoxSign(QPainter& p, QRectF box, bool plus) {
    p.setPen(Pen(kInk, 1.1));
    p.setBrush(Qt::white);
    p.drawRect(box);
    const QPointF c = box.center();
    p.setPen(Pen(kInk, 1.3));
    p.drawLine(QPointF(box.left() + 1.5, c.y()), QPointF(box.right() - 1.5, c.y()));
    if (plus) p.drawLine(QPointF(c.x(), box.top() + 1.5), QPointF(c.x(), box.bottom() - 1.5));
}

void ArrowHead(QPainter& p, QPointF tip, QPointF from, const QColor& color) {
    const QLineF back(tip, from);
    QLineF a = back, b = back;
    a.setLength(3.2);
    b.setLength(3.2);
    a.setAngle(back.angle() + 35);
    b.setAngle(back.angle() - 35);
    p.setPen(Pen(color, 1.6));
    p.drawLine(a);
    p.drawLine(b);
}

void Magnifier(QPainter& p, QPointF c, qreal r) {
    p.setPen(Pen(kInk, 1.6));
    p.setBrush(QColor(200, 225, 250));
    p.drawEllipse(c, r, r);
    p.setPen(Pen(kInk, 2.4));
    const qreal d = r * 0.72;
    p.drawLine(QPointF(c.x() + d, c.y() + d), QPointF(c.x() + d + r * 0.9, c.y() + d + r * 0.9));
}

// On a 16 by 16 grid.
void Paint(QPainter& p, ObjectGlyph glyph) {
    switch (glyph) {
    case ObjectGlyph::Save:
        p.setPen(Pen(kBlue.darker(130), 1.0));
        p.setBrush(kBlue);
        p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 1.5, 1.5);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4, 1.5, 8, 5));
        p.drawRect(QRectF(3.5, 9, 9, 5.5));
        p.setBrush(kBlue);
        p.drawRect(QRectF(9, 2.5, 2, 3));
        break;
    case ObjectGlyph::Discard: {
        p.setPen(Pen(kRed, 1.8));
        p.setBrush(Qt::NoBrush);
        const QRectF circle(2.5, 2.5, 11, 11);
        p.drawArc(circle, 100 * 16, 270 * 16);
        // The arc ends at 10 degrees: an arrow turning back against the clock.
        ArrowHead(p, QPointF(7.0, 2.6), QPointF(10.0, 4.5), kRed);
        break;
    }
    case ObjectGlyph::ExpandAll:
        BoxSign(p, QRectF(1.5, 1.5, 6, 6), true);
        p.setPen(Pen(kInk, 1.6));
        p.drawLine(QPointF(9, 4.5), QPointF(14.5, 4.5));
        p.setPen(Pen(kInk.lighter(160), 1.0));
        p.drawLine(QPointF(4.5, 8), QPointF(4.5, 13));
        p.drawLine(QPointF(4.5, 10), QPointF(6.5, 10));
        p.drawLine(QPointF(4.5, 13), QPointF(6.5, 13));
        Row(p, 7.5, 10, kInk);
        Row(p, 7.5, 13, kInk);
        break;
    case ObjectGlyph::CollapseAll:
        BoxSign(p, QRectF(1.5, 1.5, 6, 6), false);
        BoxSign(p, QRectF(1.5, 8.5, 6, 6), false);
        p.setPen(Pen(kInk, 1.6));
        p.drawLine(QPointF(9, 4.5), QPointF(14.5, 4.5));
        p.drawLine(QPointF(9, 11.5), QPointF(14.5, 11.5));
        break;
    case ObjectGlyph::AddNode:
        Row(p, 1.5, 3, kInk);
        Row(p, 1.5, 7.5, kInk);
        Row(p, 1.5, 12, kGreen);
        Plus(p, QPointF(12.5, 11.5), 2.8, kGreen);
        break;
    case ObjectGlyph::AddChild:
        Row(p, 1.5, 3, kInk);
        p.setPen(Pen(kInk.lighter(160), 1.0));
        p.drawLine(QPointF(3, 5), QPointF(3, 9));
        p.drawLine(QPointF(3, 9), QPointF(5, 9));
        Row(p, 5.5, 9, kGreen);
        Plus(p, QPointF(12.5, 12.5), 2.8, kGreen);
        break;
    case ObjectGlyph::Delete:
        p.setPen(Pen(kRed, 2.4));
        p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
        p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
        break;
    case ObjectGlyph::Sort:
        p.setPen(Pen(kInk, 1.8));
        p.drawLine(QPointF(2, 3), QPointF(6, 3));
        p.drawLine(QPointF(2, 7.5), QPointF(8, 7.5));
        p.drawLine(QPointF(2, 12), QPointF(10, 12));
        p.setPen(Pen(kBlue, 1.6));
        p.drawLine(QPointF(13, 2), QPointF(13, 14));
        ArrowHead(p, QPointF(13, 14), QPointF(13, 10), kBlue);
        break;
    case ObjectGlyph::Find:
        Magnifier(p, QPointF(6.5, 6.5), 4.5);
        break;
    case ObjectGlyph::Replace:
        Magnifier(p, QPointF(5, 5), 3.3);
        p.setPen(Pen(kGreen, 1.6));
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(9.5, 2.5), QPointF(13.5, 2.5));
        p.drawLine(QPointF(13.5, 2.5), QPointF(13.5, 8));
        ArrowHead(p, QPointF(13.5, 8.5), QPointF(13.5, 5), kGreen);
        p.setPen(Pen(kGreen, 2.0));
        p.drawLine(QPointF(6, 13), QPointF(14, 13));
        break;
    case ObjectGlyph::AddFromFile: {
        QPainterPath folder;
        folder.moveTo(1.5, 3.5);
        folder.lineTo(6, 3.5);
        folder.lineTo(7.5, 5);
        folder.lineTo(14.5, 5);
        folder.lineTo(14.5, 13.5);
        folder.lineTo(1.5, 13.5);
        folder.closeSubpath();
        p.setPen(Pen(kGold.darker(150), 1.0));
        p.setBrush(kGold);
        p.drawPath(folder);
        Plus(p, QPointF(8, 9.5), 2.6, kGreen.darker(120));
        break;
    }
    case ObjectGlyph::GroupTell:
        p.setPen(Pen(kBlue.darker(130), 1.0));
        p.setBrush(kBlue.lighter(130));
        p.drawEllipse(QPointF(5, 5), 2.3, 2.3);
        p.drawPie(QRectF(1, 8.5, 8, 10), 0, 180 * 16);
        p.setBrush(kGreen);
        p.drawEllipse(QPointF(11, 5), 2.3, 2.3);
        p.drawPie(QRectF(7, 8.5, 8, 10), 0, 180 * 16);
        break;
    case ObjectGlyph::ClanTell: {
        p.setPen(Pen(kInk, 1.6));
        p.drawLine(QPointF(3, 1.5), QPointF(3, 14.5));
        QPainterPath flag;
        flag.moveTo(3.5, 2);
        flag.lineTo(13.5, 2);
        flag.lineTo(11, 5.25);
        flag.lineTo(13.5, 8.5);
        flag.lineTo(3.5, 8.5);
        flag.closeSubpath();
        p.setPen(Pen(kRed.darker(130), 1.0));
        p.setBrush(kRed);
        p.drawPath(flag);
        break;
    }
    }
}

class GlyphEngine : public QIconEngine {
public:
    explicit GlyphEngine(ObjectGlyph glyph) : glyph_(glyph) {}
    QIconEngine* clone() const override { return new GlyphEngine(glyph_); }
    void paint(QPainter* p, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        p->save();
        p->setRenderHint(QPainter::Antialiasing);
        p->translate(rect.topLeft());
        p->scale(rect.width() / 16.0, rect.height() / 16.0);
        if (mode == QIcon::Disabled) p->setOpacity(0.35);
        Paint(*p, glyph_);
        p->restore();
    }
    // `size` is in device pixels: the drawing scales to it, so every screen scale is sharp.
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap pm(size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        paint(&p, QRect(QPoint(), size), mode, state);
        return pm;
    }

private:
    ObjectGlyph glyph_;
};

} // namespace

QIcon ObjectPageIcon(ObjectGlyph glyph) {
    return QIcon(new GlyphEngine(glyph));
}

} // namespace view
