#include "view/dialogs/TexturePreview.h"

#include "view/map/Textures.h"

#include <QPainter>

namespace view {

TTexturePreview::TTexturePreview(QWidget* parent) : QWidget(parent) {
    setObjectName("Panel1");
}

QPixmap TTexturePreview::Swatch(int textureIndex, const QColor& color, QSize size) {
    QPixmap pm(size);
    QPainter p(&pm);
    const std::vector<QImage>& textures = BackgroundTextures();
    if (textureIndex < 0 || static_cast<std::size_t>(textureIndex) >= textures.size()) {
        p.fillRect(pm.rect(), color);
        return pm;
    }
    const QImage& t = textures[static_cast<std::size_t>(textureIndex)];
    for (int y = 0; y < size.height(); y += t.height())
        for (int x = 0; x < size.width(); x += t.width())
            p.drawImage(x, y, t);
    return pm;
}

void TTexturePreview::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawPixmap(0, 0, Swatch(textureIndex, color, size()));
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace view
