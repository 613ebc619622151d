// The session keeps the map across a restart: the world loads at the first activation and is
// saved at shutdown.

#include "app/core/Session.h"
#include "storage/Paths.h"
#include "storage/ZoneFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

struct QuietUi : app::AppUi {
    std::string caption;
    std::vector<std::string> errors;
    void SetCaption(const std::string& c) override { caption = c; }
    void SetTracing(bool) override {}
    void SetMccpStatus(const std::string&) override {}
    void ShowError(const std::string& m) override { errors.push_back(m); }
    void Repaint() override {}
    bool CollectWindowPlace(int&, int&, int&, int&) override { return false; }
};

} // namespace

TEST(WorldSession, MapSurvivesARestart) {
    TempDir dir;
    TempDir::Write(dir.path() / "Maps" / "W" / "local.ini",
                   "[Connect]\r\nClient Port=0\r\n[Options]\r\nZone=Town\r\n");
    TempDir::Write(dir.path() / "Maps" / "W" / "Town.tk2", "");
    {
        QuietUi ui;
        app::Session s({dir.path(), "W", false}, ui);
        s.Start();
        s.FirstActivation();
        ASSERT_TRUE(ui.errors.empty());
        // The file holds no room, so the only zone is current as the first one found.
        EXPECT_EQ(s.ZoneName(), "Town");
        auto room = std::make_unique<map::TMudRoom2>();
        room->Hint = "Square";
        room->X = 4;
        s.Map().World().AddRoom(std::move(room), "Town");
        s.Shutdown();
    }
    QuietUi ui;
    app::Session s({dir.path(), "", false}, ui); // the world comes from the settings now
    s.Start();
    s.FirstActivation();
    EXPECT_EQ(s.WorldName(), "W");
    EXPECT_EQ(s.ZoneName(), "Town");
    map::TMudRoom2* room = s.Map().World().FindRoom(4, 0, 0);
    ASSERT_NE(room, nullptr);
    EXPECT_EQ(room->Hint, "Square");
    EXPECT_EQ(ui.caption.rfind("[W.Town] Quarvelin v. ", 0), 0u);
    s.Shutdown();
}

TEST(WorldSession, HeadlessCreatesAMissingWorldWithItsFirstZone) {
    TempDir dir;
    QuietUi ui;
    app::Session s({dir.path(), "New", true}, ui);
    s.Start();
    s.FirstActivation();
    EXPECT_TRUE(ui.errors.empty());
    EXPECT_EQ(s.WorldName(), "New");
    EXPECT_FALSE(s.ZoneName().empty());
    EXPECT_TRUE(
        std::filesystem::exists(*storage::ZoneFilePath(s.World().WorldDir(), s.ZoneName())));
}
