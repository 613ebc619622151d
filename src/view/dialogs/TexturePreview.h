#pragma once
// The settings dialog's background preview `Panel1`: the map's colour, or a texture repeated
// in 64 x 64 cells from the top-left corner, as the map panel draws its background.

#include <QColor>
#include <QPixmap>
#include <QWidget>

namespace view {

class TTexturePreview : public QWidget {
    Q_OBJECT
public:
    explicit TTexturePreview(QWidget* parent = nullptr);

    QColor color;
    int textureIndex = -1; // into BackgroundTextures(); -1 (or unknown) for the colour

    // A picture of the background: the texture tiled, or the colour when there is none.
    static QPixmap Swatch(int textureIndex, const QColor& color, QSize size);

protected:
    void paintEvent(QPaintEvent* e) override;
};

} // namespace view
