// What the room property dialog's OK does to a room, without the dialog: the cases that the
// game going on while the dialog is open can bring about.

#include "map/MapModel.h"
#include "support/FakeWorldUi.h"
#include "world/RoomPropertyEditor.h"

#include <gtest/gtest.h>

namespace {

struct RoomProperties : ::testing::Test, WorldEnv {
    map::TMudRoom2* Add(int tag, int x, const std::string& zone, bool pipe = false) {
        auto r = std::make_unique<map::TMudRoom2>();
        r->Tag = tag;
        r->X = x;
        r->Pipe = pipe;
        return model.World().AddRoom(std::move(r), zone);
    }
};

} // namespace

TEST_F(RoomProperties, LettersAreReadAnywhereInTheTextAndWrittenInOneOrder) {
    map::TMudRoom2 r;
    r.ChU = r.ChS = r.ChN = r.ChW = true;
    EXPECT_EQ(storage::CheckedExitLetters(r), "NSWU");
    EXPECT_TRUE(storage::HasCheckedExitLetter("x-d W", map::West));
    EXPECT_FALSE(storage::HasCheckedExitLetter("x-d W", map::Down)); // capitals only
}

TEST_F(RoomProperties, ARoomThatLeftTheCurrentZoneMeanwhileTouchesNothingOnTheCurrentGrid) {
    // The player walked into "Here" while the dialog for a room of "Away" was open; "Here"
    // has a corridor room where the room's northern corridor would be in its own zone.
    storage::ZoneTree& tree = store.Tree();
    tree.AddRoot("W");
    tree.AddZone("Here");
    storage::ZoneTreeNode* away = tree.AddZone("Away");
    map::TMudRoom2* room = Add(1, 0, "Away");
    room->ChN = true;
    room->Description = "\r\n\r\n";
    Add(0, -1, "Here", true);
    model.World().CurrentZone = "Here";
    model.World().LoadZoneRooms();

    storage::RoomPropertyEditor editor(store, *room);
    editor.Fill();
    editor.Apply("gate", "");
    EXPECT_FALSE(room->ChN);
    EXPECT_NE(model.World().FindRoom(-1, 0, 0), nullptr);
    EXPECT_EQ(room->Description, "");
    // The alias joins the quick list under the room's own zone.
    ASSERT_EQ(away->children.size(), 1u);
    EXPECT_EQ(away->children[0]->text, "gate");
    EXPECT_TRUE(tree.FindZone("Here")->children.empty());
}
