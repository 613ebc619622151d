// The session keeps the map across a restart: the world loads at the first activation and is
// saved at shutdown.

#include "app/core/Session.h"
#include "files/Paths.h"
#include "files/ZoneFile.h"
#include "support/TempDir.h"
#include "world/WorldStore.h"
#include "world/ZoneLinks.h"

#include <gtest/gtest.h>

#include <set>

namespace {

struct QuietUi : app::AppUi {
    std::string caption;
    std::vector<std::string> errors;
    std::string clipboard;
    std::vector<int> modes;
    void SetClipboard(const std::string& t) override { clipboard = t; }
    void SetWindowMode(int m) override { modes.push_back(m); }
    void SetCaption(const std::string& c) override { caption = c; }
    void SetTracing(bool) override {}
    void SetMccpStatus(const std::string&) override {}
    void ShowError(const std::string& m) override { errors.push_back(m); }
    void Repaint() override {}
    bool CollectWindowPlace(int&, int&, int&, int&) override { return false; }
};

// World "W" with one empty zone "Town", listening on any free port.
void WriteTownWorld(const TempDir& dir) {
    TempDir::Write(dir.path() / "Maps" / "W" / "local.ini",
                   "[Connect]\r\nClient Port=0\r\n[Options]\r\nZone=Town\r\n");
    TempDir::Write(dir.path() / "Maps" / "W" / "Town.tk2", "");
}

} // namespace

TEST(WorldSession, MapSurvivesARestart) {
    TempDir dir;
    WriteTownWorld(dir);
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

TEST(WorldSession, ZoneTreeSpeedwalkItemsTargetTheSelectedQuickListRoom) {
    TempDir dir;
    WriteTownWorld(dir);
    QuietUi ui;
    app::Session s({dir.path(), "W", false}, ui);
    s.Start();
    s.FirstActivation();
    map::MapWorld& world = s.Map().World();
    std::vector<map::TMudRoom2*> rooms;
    for (int y = 0; y < 3; ++y) {
        auto room = std::make_unique<map::TMudRoom2>();
        room->Hint = "R" + std::to_string(y);
        room->Tag = y + 1;
        room->Y = y;
        room->SetExits("E W", s.Profile());
        room->ChE = y < 2;
        room->ChW = y > 0;
        rooms.push_back(world.AddRoom(std::move(room), "Town"));
    }
    world.CurrentRoom = rooms[0];
    storage::ZoneTreeNode* node = s.QuickList().AddAlias(rooms[2], "end");
    ASSERT_NE(node, nullptr);
    storage::ZoneTreeNode* zone = node->parent;

    s.World().Tree().Select(node);
    s.nnSpeedWalkClick(app::TreeSpeedwalkItem::nnSpeedWalkNT);
    EXPECT_EQ(world.ContextRoom, rooms[2]);
    EXPECT_EQ(ui.clipboard, "ee");
    s.nnSpeedWalkClick(app::TreeSpeedwalkItem::nnSpeedWalkNTD);
    EXPECT_EQ(ui.clipboard, "e;e");
    // With a zone node selected there is no target.
    ui.clipboard.clear();
    world.ContextRoom = nullptr;
    s.World().Tree().Select(zone);
    s.nnSpeedWalkClick(app::TreeSpeedwalkItem::nnSpeedWalkNTD);
    EXPECT_TRUE(ui.clipboard.empty());
    EXPECT_EQ(world.ContextRoom, nullptr);
    // A double click on the quick-list node orders the walk (sent only while tracing: here
    // nothing is sent, but the target is taken and the view told to stay put).
    ui.modes.clear();
    s.TreeViewZonesDblClick(node);
    EXPECT_EQ(world.ContextRoom, rooms[2]);
    EXPECT_EQ(ui.modes, std::vector<int>{2});
    rooms[2]->DT = true;
    ui.modes.clear();
    s.TreeViewZonesDblClick(node);
    EXPECT_TRUE(ui.modes.empty());
    s.Shutdown();
}

TEST(WorldSession, ASplitThatDropsACorridorRoomWithAnAliasLeavesNoNodeBehind) {
    TempDir dir;
    WriteTownWorld(dir);
    // A - corridor - B along a row; the corridor room carries an alias (the client's alias
    // command can give one to whatever room the player stands in).
    std::vector<map::TMudRoom2> rooms(3);
    const char* hints[] = {"A", "Pipe", "B"};
    for (int i = 0; i < 3; ++i) {
        map::TMudRoom2& r = rooms[static_cast<std::size_t>(i)];
        r.Hint = hints[i];
        r.Tag = i + 1;
        r.Y = i;
        r.Ch(map::East) = i < 2;
        r.Ch(map::West) = i > 0;
    }
    rooms[1].Pipe = true;
    rooms[1].QuickList = "pipe";
    rooms[2].QuickList = "far";
    std::vector<const map::TMudRoom2*> p{&rooms[0], &rooms[1], &rooms[2]};
    TempDir::Write(dir.path() / "Maps" / "W" / "Town.tk2", storage::WriteZone(p));

    QuietUi ui;
    app::Session s({dir.path(), "W", false}, ui);
    s.Start();
    s.FirstActivation();
    map::MapWorld& world = s.Map().World();
    ASSERT_EQ(s.World().Tree().FindZone("Town")->children.size(), 2u);
    world.ContextRoom = world.FindRoom(0, 0, 0);
    ASSERT_NE(world.ContextRoom, nullptr);
    ASSERT_TRUE(s.ZoneLinks().StartNewZone(map::East));
    ASSERT_NE(world.CurrentZone, "Town");

    // Every node of the tree names a room that is still on the map; B's went with it.
    std::set<const map::TMudRoom2*> live;
    world.Lists().ForEachWorldRoom([&](map::TMudRoom2* r, const std::string&) { live.insert(r); });
    std::vector<std::string> aliases;
    for (storage::ZoneTreeNode* zone : s.World().Tree().Zones())
        for (const auto& node : zone->children) {
            ASSERT_TRUE(live.count(node->room)) << node->text; // never read a freed room
            aliases.push_back(zone->text + "/" + node->room->QuickList);
        }
    EXPECT_EQ(aliases, std::vector<std::string>{world.CurrentZone + "/far"});
    EXPECT_EQ(world.FindRoomByAlias("pipe"), nullptr);
}
