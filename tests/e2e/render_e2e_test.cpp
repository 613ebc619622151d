// quarvelin --render: a zone written in the test comes back as a PNG whose room cells have the
// rooms' colours; no network, no display.

#include "E2eSupport.h"
#include "files/ZoneFile.h"
#include "map/MudRoom.h"
#include "profile/WorldProfile.h"

#include <QImage>
#include <gtest/gtest.h>

TEST(RenderE2e, ZonePictureHasTheRoomsColours) {
    TempDir dir;
    profile::WorldProfile profile;
    std::vector<map::TMudRoom2> rooms(3);
    const map::Color colours[] = {0x000000FF, 0x0000FF00, 0x00FF0000}; // $00BBGGRR
    for (int i = 0; i < 3; ++i) {
        rooms[i].Tag = i + 1;
        rooms[i].Hint = "R" + std::to_string(i);
        rooms[i].Y = i;
        rooms[i].X = i == 2 ? 1 : 0; // the third one south of the second
        rooms[i].BColor = colours[i];
        rooms[i].SetExits("N S E W", profile);
    }
    std::vector<const map::TMudRoom2*> list{&rooms[0], &rooms[1], &rooms[2]};
    TempDir::Write(dir.path() / "Maps" / "W" / "Zone.tk2", storage::WriteZone(list));
    TempDir::Write(dir.path() / "Maps" / "W" / "local.ini", "[Options]\r\nZone=Zone\r\n");
    const std::string out = (dir.path() / "zone.png").string();

    QProcess render;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    render.setProcessEnvironment(env);
    render.setProcessChannelMode(QProcess::MergedChannels);
    render.start(QuarvelinBinary(),
                 {"--data-dir", QString::fromStdString(dir.path().string()), "--world", "W",
                  "--render", "Zone", "--out", QString::fromStdString(out)});
    ASSERT_TRUE(render.waitForFinished(20000));
    ASSERT_EQ(render.exitCode(), 0) << render.readAll().toStdString();

    QImage image(QString::fromStdString(out));
    ASSERT_FALSE(image.isNull());
    // Three columns and two rows with a cell of margin: 32-pixel cells, the default skin.
    const int h = 32;
    ASSERT_GE(image.width(), 5 * h);
    ASSERT_GE(image.height(), 4 * h);
    // Find each colour somewhere in the picture, in the order of the rooms' columns.
    auto column = [&](QRgb c) {
        for (int x = 0; x < image.width(); ++x)
            for (int y = 0; y < image.height(); ++y)
                if (image.pixel(x, y) == c) return x / h;
        return -1;
    };
    const int red = column(qRgb(255, 0, 0)), green = column(qRgb(0, 255, 0)),
              blue = column(qRgb(0, 0, 255));
    ASSERT_GE(red, 0);
    EXPECT_EQ(green, red + 1);
    EXPECT_EQ(blue, red + 2);

    // A zone the world does not have is an error, not an empty picture.
    render.start(QuarvelinBinary(),
                 {"--data-dir", QString::fromStdString(dir.path().string()), "--world", "W",
                  "--render", "Nowhere", "--out", QString::fromStdString(out + "2")});
    ASSERT_TRUE(render.waitForFinished(20000));
    EXPECT_EQ(render.exitCode(), 1);
    EXPECT_FALSE(std::filesystem::exists(out + "2"));
}
