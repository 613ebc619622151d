// Skins: the chooser's entries, which set a variant loads into, the geometry keys, cutting a
// strip written here into pictures and icons, and the fallbacks to the built-in artwork.

#include "support/TempDir.h"
#include "text/Cp1251.h"
#include "view/map/Skin.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

using view::SkinImageSet;
using view::TSkin;
namespace pic = view::pic;

void WriteIni(const std::filesystem::path& p, const std::vector<std::string>& lines) {
    std::string bytes;
    for (const auto& l : lines)
        bytes += l + "\r\n";
    TempDir::Write(p, bytes);
}

int Alpha(const QImage& image, int x, int y) {
    return qAlpha(image.pixel(x, y));
}

// A strip of `tiles` tiles of `cell` pixels: key colour everywhere except where painted.
struct Strip {
    static constexpr QRgb kKey = 0xFF00C000;
    QImage image;
    int cell;
    Strip(int cell, int tiles) : image(cell * tiles, cell, QImage::Format_RGB32), cell(cell) {
        image.fill(kKey);
    }
    void Tile(int k, QRgb colour) {
        for (int y = 0; y < cell; ++y)
            for (int x = 0; x < cell; ++x)
                image.setPixel(k * cell + x, y, colour);
    }
};

TEST(Skin, WithoutSkinSectionsTheBuiltinStripIsUsed) {
    TempDir dir;
    WriteIni(dir / "plain.ini", {"[General]", "Picture=none.bmp"});
    const QImage builtin = TSkin::BuiltinPictures();
    ASSERT_EQ(builtin.size(), QSize(832, 32));
    ASSERT_EQ(TSkin::BuiltinIcons().size(), QSize(320, 16));

    for (const char* name : {"plain.ini", "", "absent.ini"}) {
        TSkin skin;
        skin.LoadSkin(dir.path(), name, -2); // a negative variant is the first
        SCOPED_TRACE(name);
        EXPECT_EQ(skin.ChooserEntries(), QStringList{"Default 32x32"});
        const SkinImageSet& a = skin.Set(0);
        EXPECT_EQ(a.cell, 32);
        EXPECT_EQ(a.icons.size(), 20u);
        EXPECT_EQ(skin.DefaultRoomColor(), builtin.pixelColor(16, 16));
        for (int i = 0; i < pic::kCount; ++i)
            ASSERT_EQ(a.pictures[i].size(), QSize(32, 32)) << i;
        // The key colour of the strip's bottom-left corner is not drawn.
        EXPECT_EQ(Alpha(a.pictures[pic::kBase], 0, 31), 0);
        EXPECT_EQ(Alpha(a.pictures[pic::kBase], 16, 16), 255);
    }
}

// The painter fills the room with its colour from the fill point: the built-in room base must
// hold that point in an area of the default colour that is closed off from the tile's edge.
TEST(Skin, BuiltinRoomBaseHasAClosedFillArea) {
    TSkin skin;
    const QImage base = skin.Set(0).pictures[pic::kBase];
    const QPoint start = skin.Geometry().fillPoint;
    const QRgb floor = base.pixel(start);
    EXPECT_EQ(QColor(floor), skin.DefaultRoomColor());
    std::vector<QPoint> todo{start};
    std::vector<bool> seen(32 * 32);
    while (!todo.empty()) {
        const QPoint q = todo.back();
        todo.pop_back();
        if (!base.rect().contains(q)) FAIL() << "the fill area reaches the tile's edge";
        if (seen[q.y() * 32 + q.x()] || base.pixel(q) != floor) continue;
        seen[q.y() * 32 + q.x()] = true;
        todo.insert(todo.end(),
                    {q + QPoint(1, 0), q - QPoint(1, 0), q + QPoint(0, 1), q - QPoint(0, 1)});
    }
    // The up and down exit pictures, drawn before the fill, do not cut the area apart.
    EXPECT_TRUE(seen[16 * 32 + 16]);
    EXPECT_EQ(Alpha(skin.Set(0).icons[0], 15, 0), 0);
}

TEST(Skin, ChooserListsSkinSectionsByDescriptionOrPosition) {
    TempDir dir;
    WriteIni(dir / "skins.ini",
             {"[General]", "Name=x", "[Skin0]", "Description=" + text::W("Обычный"), "[Skin1]",
              "Description=", "[Other]", "[sKiN2]", "[Skinny]", "Description=Thin"});
    TSkin skin;
    skin.LoadSkin(dir.path(), "skins.ini", 0);
    EXPECT_EQ(skin.ChooserEntries(), (QStringList{QString::fromUtf8("Обычный"), "2", "4", "Thin"}));

    // Only the first variant rebuilds the entries.
    WriteIni(dir / "skins.ini", {"[Skin0]", "Description=Changed"});
    skin.LoadSkin(dir.path(), "skins.ini", 1);
    EXPECT_EQ(skin.ChooserEntries().size(), 4);
}

TEST(Skin, OtherVariantsLoadIntoSetBAndTheLastLoadOwnsTheGeometry) {
    TempDir dir;
    Strip small(16, 26);
    small.Tile(0, 0xFF102030);
    ASSERT_TRUE(small.image.save(QString::fromStdString((dir / "small.bmp").string()), "BMP"));
    Strip large(24, 26);
    large.Tile(0, 0xFF405060);
    ASSERT_TRUE(large.image.save(QString::fromStdString((dir / "large.png").string()), "PNG"));
    WriteIni(dir / "two.ini", {"[Skin0]", "Picture=small.bmp", "FillPoint=3,5", "[Skin1]",
                               "Picture=large.png", "FillPoint=7,9", "IconPoint=1,2"});

    TSkin skin;
    skin.LoadSkin(dir.path(), "two.ini", 0);
    EXPECT_EQ(skin.Set(0).cell, 16);
    EXPECT_EQ(skin.Geometry().fillPoint, QPoint(3, 5));

    skin.LoadSkin(dir.path(), "two.ini", 1);
    EXPECT_EQ(skin.Set(1).cell, 24);
    EXPECT_EQ(skin.Set(0).cell, 16) << "set A keeps the first variant";
    EXPECT_EQ(skin.Set(0).icons.size(), 20u);
    EXPECT_TRUE(skin.Set(1).icons.empty()) << "other variants have no built-in icons";
    EXPECT_EQ(skin.Geometry().fillPoint, QPoint(7, 9));
    EXPECT_EQ(skin.Geometry().iconRowOffset, 1);
    EXPECT_EQ(skin.DefaultRoomColor(), QColor(0x40, 0x50, 0x60));

    skin.LoadSkin(dir.path(), "two.ini", 0);
    EXPECT_EQ(skin.Geometry().fillPoint, QPoint(3, 5));
    EXPECT_EQ(skin.Geometry().iconRowOffset, 8);
    EXPECT_EQ(skin.DefaultRoomColor(), QColor(0x10, 0x20, 0x30));
}

TEST(Skin, GeometryKeysAndTheirFallbacks) {
    TempDir dir;
    Strip strip(32, 26);
    ASSERT_TRUE(strip.image.save(QString::fromStdString((dir / "s.png").string()), "PNG"));
    WriteIni(dir / "g.ini", {"[Skin0]", "Picture=s.png", "IconPoint=4,10", "FillPoint=4,10",
                             "NorthRect= 1 , 2 , 5 , 9 ", "SouthRect=1,2,x,4", "WestRect=1,2,3",
                             "EastRect=1,2,3,4,5"});
    TSkin skin;
    skin.LoadSkin(dir.path(), "g.ini", 0);
    const view::SkinGeometry& g = skin.Geometry();
    const view::SkinGeometry defaults;
    EXPECT_EQ(g.iconRowOffset, 4);     // IconPoint: down first
    EXPECT_EQ(g.iconColumnOffset, 10); // then right
    EXPECT_EQ(g.fillPoint, QPoint(4, 10));
    EXPECT_EQ(g.exits[0], QRect(1, 2, 4, 7)); // right and bottom lie outside
    EXPECT_EQ(g.exits[1], defaults.exits[1]);
    EXPECT_EQ(g.exits[2], defaults.exits[2]);
    EXPECT_EQ(g.exits[3], defaults.exits[3]);
    EXPECT_EQ(g.exits[4], defaults.exits[4]);

    // Without a picture strip the skin's geometry keys do not apply.
    WriteIni(dir / "g.ini", {"[Skin0]", "Picture=gone.png", "FillPoint=4,10"});
    skin.LoadSkin(dir.path(), "g.ini", 0);
    EXPECT_EQ(skin.Geometry().fillPoint, QPoint(12, 20));
}

TEST(Skin, AStripIsCutIntoPicturesOfItsCellSize) {
    TempDir dir;
    // Twelve tiles only: the marks and the upper level lie beyond the strip's edge.
    Strip strip(16, 12);
    strip.Tile(0, 0xFF8040C0);
    strip.image.setPixel(0, 15, Strip::kKey); // the corner pixel is the key
    strip.image.setPixel(3, 3, Strip::kKey);  // the key inside a tile is transparent too
    strip.Tile(3, 0xFFE00000);                // exits, state 1
    strip.Tile(11, 0xFF0000E0);
    ASSERT_TRUE(strip.image.save(QString::fromStdString((dir / "Cells.BMP").string()), "BMP"));
    WriteIni(dir / "cut.ini",
             {"[Skin0]", "Picture=cells.bmp", "NorthRect=2,0,14,4", "EastRect=12,4,20,12"});

    TSkin skin;
    skin.LoadSkin(dir.path(), "cut.ini", 0);
    const SkinImageSet& a = skin.Set(0);
    ASSERT_EQ(a.cell, 16);
    EXPECT_EQ(skin.DefaultRoomColor(), QColor(0x80, 0x40, 0xC0));
    const QImage& base = a.pictures[pic::kBase];
    EXPECT_EQ(base.size(), QSize(16, 16));
    EXPECT_EQ(Alpha(base, 3, 3), 0);
    EXPECT_EQ(QColor(base.pixel(8, 8)), QColor(0x80, 0x40, 0xC0));

    const QImage& north = a.pictures[pic::Exit(1, 0)];
    EXPECT_EQ(QColor(north.pixel(2, 0)), QColor(0xE0, 0, 0));
    EXPECT_EQ(QColor(north.pixel(13, 3)), QColor(0xE0, 0, 0));
    EXPECT_EQ(Alpha(north, 14, 3), 0);
    EXPECT_EQ(Alpha(north, 13, 4), 0);
    EXPECT_EQ(Alpha(north, 1, 0), 0);
    // A rectangle reaching past the cell keeps the part inside it.
    const QImage& east = a.pictures[pic::Exit(1, 3)];
    EXPECT_EQ(QColor(east.pixel(15, 4)), QColor(0xE0, 0, 0));
    EXPECT_EQ(Alpha(east, 11, 4), 0);
    EXPECT_EQ(Alpha(east, 15, 12), 0);

    EXPECT_EQ(QColor(a.pictures[pic::kCorridorWE].pixel(0, 0)), QColor(0, 0, 0xE0));
    for (int i : {pic::kUpperOutline, pic::kPosition, pic::kHighlight}) {
        ASSERT_EQ(a.pictures[i].size(), QSize(16, 16)) << i;
        EXPECT_EQ(Alpha(a.pictures[i], 8, 8), 0) << i;
    }

    // Other levels: a quarter of black over the picture, transparency kept.
    const QColor dim = QColor(a.dimmed[pic::kBase].pixel(8, 8));
    EXPECT_NEAR(dim.red(), 0x80 * 3 / 4, 1);
    EXPECT_NEAR(dim.blue(), 0xC0 * 3 / 4, 1);
    EXPECT_EQ(Alpha(a.dimmed[pic::kBase], 3, 3), 0);
}

TEST(Skin, IconStripsAndTheirSizeRule) {
    TempDir dir;
    auto icons = [&](const std::string& name, int width, int height) {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(0xFF00FF00);
        image.setPixel(15, 0, 0xFF123456); // the key
        image.setPixel(20, 5, 0xFFC0C0C0); // a pixel of icon 1
        image.setPixel(16 + 15, 0, 0xFF123456);
        ASSERT_TRUE(image.save(QString::fromStdString((dir / name).string()), "PNG"));
    };
    icons("narrow.png", 64, 16);
    icons("low.png", 96, 15);
    icons("good.png", 96, 16);
    WriteIni(dir / "i.ini", {"[Skin0]", "Icons=narrow.png", "[Skin1]", "Icons=narrow.png",
                             "[Skin2]", "Icons=GOOD.png"});

    TSkin skin;
    skin.LoadSkin(dir.path(), "i.ini", 0);
    EXPECT_EQ(skin.Set(0).icons.size(), 20u) << "too narrow: the built-in icons";
    skin.LoadSkin(dir.path(), "i.ini", 1);
    EXPECT_EQ(skin.Set(1).icons.size(), 4u) << "other variants take any width";

    WriteIni(dir / "i.ini", {"[Skin0]", "Icons=low.png"});
    skin.LoadSkin(dir.path(), "i.ini", 0);
    EXPECT_EQ(skin.Set(0).icons.size(), 20u) << "not 16 high: the built-in icons";

    WriteIni(dir / "i.ini", {"[Skin0]", "Icons=Good.PNG"});
    skin.LoadSkin(dir.path(), "i.ini", 0);
    const SkinImageSet& a = skin.Set(0);
    ASSERT_EQ(a.icons.size(), 6u);
    EXPECT_EQ(Alpha(a.icons[0], 15, 0), 0);
    EXPECT_EQ(Alpha(a.icons[1], 15, 0), 0);
    EXPECT_EQ(QColor(a.icons[1].pixel(4, 5)), QColor(0xC0, 0xC0, 0xC0));
    // One level down blended with grey, further down with black.
    EXPECT_NEAR(QColor(a.iconsGrey[1].pixel(4, 5)).red(), (0xC0 * 3 + 0x80) / 4, 1);
    EXPECT_NEAR(QColor(a.iconsDark[1].pixel(4, 5)).red(), 0xC0 * 3 / 4, 1);
    EXPECT_EQ(Alpha(a.iconsGrey[0], 15, 0), 0);
}

TEST(Skin, SkinFileNamedInAnotherLetterCaseIsFound) {
    TempDir dir;
    Strip strip(20, 26);
    strip.Tile(0, 0xFF336699);
    ASSERT_TRUE(strip.image.save(QString::fromStdString((dir / "ART.png").string()), "PNG"));
    WriteIni(dir / "MySkin.INI", {"[SKIN0]", "Description=Mine", "Picture=art.PNG"});
    TSkin skin;
    skin.LoadSkin(dir.path(), "myskin.ini", 0);
    EXPECT_EQ(skin.ChooserEntries(), QStringList{"Mine"});
    EXPECT_EQ(skin.Set(0).cell, 20);
    EXPECT_EQ(skin.DefaultRoomColor(), QColor(0x33, 0x66, 0x99));
}

} // namespace
