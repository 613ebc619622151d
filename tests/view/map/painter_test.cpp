// Painting known maps into an image and probing its pixels; the view state that places them.

#include "map/MapFixture.h"
#include "view/map/MapPainter.h"
#include "view/map/MapView.h"
#include "view/map/Skin.h"

#include <gtest/gtest.h>

namespace {

using map::TMudRoom2;
using maptest::MapTest;

class PainterTest : public MapTest {
protected:
    view::TSkin skin;
    view::TMapView mapView{world};
    view::TMapPainter painter{skin, profile};
    view::PaintSettings settings;
    QImage canvas{320, 240, QImage::Format_ARGB32_Premultiplied};

    PainterTest() { mapView.windowMode = view::kNormal; }
    const view::SkinImageSet& Set() const { return skin.Set(0); }
    int H() const { return Set().cell; }
    QRgb Background() const { return settings.background.rgb(); }
    void Paint() { painter.Paint(canvas, world.Lists(), world.ViewLevel, settings); }
    QPoint Cell(const TMudRoom2* r) { return painter.CellOrigin(*r, canvas.size(), 0); }
    QRgb At(const TMudRoom2* r, QPoint inCell) { return canvas.pixel(Cell(r) + inCell); }
    // Whether any pixel of the cell's rectangle differs between two rooms' cells.
    bool Differ(const TMudRoom2* a, const TMudRoom2* b, QRect inCell) {
        for (int y = inCell.top(); y <= inCell.bottom(); ++y)
            for (int x = inCell.left(); x <= inCell.right(); ++x)
                if (At(a, {x, y}) != At(b, {x, y})) return true;
        return false;
    }
};

TEST_F(PainterTest, RoomsAreFilledWithTheirColourAndShowTheirExits) {
    Build({"A-B . C"});
    TMudRoom2* a = world.FindRoom(0, 0, 0);
    TMudRoom2* b = world.FindRoom(0, 1, 0);
    TMudRoom2* c = world.FindRoom(0, 3, 0);
    a->BColor = 0x000000FF; // $00BBGGRR: red
    b->BColor = 0x0000FF00; // green
    b->SetExits("N (E) S W", profile);
    mapView.CenterBox();
    Paint();
    const QPoint fill = skin.Geometry().fillPoint;
    EXPECT_EQ(At(a, fill), qRgb(255, 0, 0));
    EXPECT_EQ(At(b, fill), qRgb(0, 255, 0));
    // A door east shows another picture than an open exit east (A: exit, B: door).
    EXPECT_TRUE(Differ(a, b, skin.Geometry().exits[3] & QRect(0, 0, H(), H())));
    // The cell between B and C is empty grid; C, not linked, shows no checked exits west.
    EXPECT_EQ(canvas.pixel(Cell(b) + QPoint(H() + H() / 2, H() / 2)), Background());
    EXPECT_TRUE(Differ(b, c, skin.Geometry().exits[2] & QRect(0, 0, H(), H())));
}

TEST_F(PainterTest, CorridorsLevelsAndMarks) {
    Build({"A-#-B"});
    TMudRoom2* pipe = world.FindRoom(0, 1, 0);
    TMudRoom2* a = world.FindRoom(0, 0, 0);
    TMudRoom2* above = linker.NewRoomAt(2, 0, 1, "Up", "", "N");
    world.CurrentRoom = a;
    mapView.CenterBox();
    settings.showTopLevel = false;
    Paint();
    // The corridor cell holds exactly the corridor picture over the background.
    QImage expected(H(), H(), QImage::Format_ARGB32_Premultiplied);
    expected.fill(settings.background);
    {
        QPainter p(&expected);
        p.drawImage(0, 0, Set().pictures[view::pic::kCorridorWE]);
    }
    EXPECT_EQ(canvas.copy(QRect(Cell(pipe), QSize(H(), H()))), expected);
    // The level above is left out unless shown; shown, it is shifted up and left by H / 8.
    const QPoint upper = Cell(above);
    EXPECT_EQ(upper, Cell(a) + QPoint(0, 2 * H()) - QPoint(H() / 8, H() / 8));
    const QImage without = canvas;
    settings.showTopLevel = true;
    Paint();
    EXPECT_NE(canvas.copy(QRect(upper, QSize(H(), H()))),
              without.copy(QRect(upper, QSize(H(), H()))));
    // The player's position mark is on the player's room only.
    EXPECT_TRUE(a->Selected);
    EXPECT_NE(canvas.copy(QRect(Cell(a), QSize(H(), H()))),
              canvas.copy(QRect(Cell(world.FindRoom(0, 2, 0)), QSize(H(), H()))));
}

TEST_F(PainterTest, OutsideRoomsAndTexturedBackground) {
    Build({"A"});
    linker.NewRoomAt(0, 500, 0, "Far", "", "N");
    mapView.CenterBox();
    world.Lists().ForEachZoneRoom([](TMudRoom2* r) { r->DY = 0; });
    // A 64 x 64 texture tiles the panel, partial tiles at the edges included.
    std::vector<QImage> textures(1, QImage(64, 64, QImage::Format_ARGB32_Premultiplied));
    textures[0].fill(QColor(10, 20, 30));
    settings.textures = &textures;
    settings.texture = 0;
    Paint();
    EXPECT_EQ(canvas.pixel(319, 239), qRgb(10, 20, 30));
    EXPECT_EQ(canvas.pixel(0, 0), qRgb(10, 20, 30));
    // The far room lies beyond the right edge and costs nothing; the near one is drawn.
    EXPECT_NE(canvas.pixel(Cell(world.FindRoom(0, 0, 0)) + skin.Geometry().fillPoint),
              qRgb(10, 20, 30));
}

TEST_F(PainterTest, CenterBoxAndShift) {
    Build({"A-B-C"}, 0, -9);
    TMudRoom2* b = world.FindRoom(0, -8, 0);
    // A zone lying wholly at negative Y moves until its largest Y is 0.
    world.CurrentRoom = b;
    b->Checked = true;
    mapView.CenterBox();
    EXPECT_EQ(b->Y, 0 - 1);
    EXPECT_EQ(world.FindRoom(0, -1, 0), b);
    EXPECT_EQ(mapView.SB1.position, -1);
    EXPECT_EQ(mapView.SB1.max, 0);
    EXPECT_EQ(b->DY, -1);
    EXPECT_FALSE(b->Checked); // any view change clears highlights
    // Right after a speedwalk one update leaves the rooms' origin alone.
    mapView.windowMode = view::kAfterSpeedwalk;
    mapView.SB1.position = 0;
    mapView.mShift();
    EXPECT_EQ(b->DY, -1);
    EXPECT_EQ(mapView.windowMode, view::kNormal);
    mapView.mShift();
    EXPECT_EQ(b->DY, 0);
    // Without a player's room the centre is the zone's middle, rounded towards the larger.
    world.CurrentRoom = nullptr;
    mapView.CenterBox();
    EXPECT_EQ(mapView.SB1.position, -1);
}

} // namespace
